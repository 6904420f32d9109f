# Build-time embedding of the deployment data under data/: the application
# records and the class-path lists become C++ sources, so a deployment sees
# and replaces plain files instead of code. Which records and tables: those
# the application table names (cmake/applications.cmake).

# launcher_embed_records(<output.cpp> <directory> <record names>): <name>.json
# of <directory> for each name, byte for byte.
function(launcher_embed_records output dir names)
  set(inputs "")
  foreach(name IN LISTS names)
    list(APPEND inputs "${dir}/${name}.json")
    if(NOT EXISTS "${dir}/${name}.json")
      message(FATAL_ERROR "the application table names the record ${name}.json, which ${dir} does not hold")
    endif()
  endforeach()
  add_custom_command(OUTPUT "${output}"
    COMMAND ${CMAKE_COMMAND} "-DRECORDS_DIR=${dir}" "-DRECORDS=${names}" "-DOUTPUT=${output}"
            -P "${CMAKE_SOURCE_DIR}/cmake/embed_records.cmake"
    DEPENDS ${inputs} "${CMAKE_SOURCE_DIR}/cmake/embed_records.cmake"
    COMMENT "Embedding the application records from ${dir}"
    VERBATIM)
endfunction()

# launcher_embed_classpath(<output.cpp> <common list> <pylor list> <table names>):
# the class-path tables; the build stops on a list that breaks the table's
# rules, or on a table name the script does not make.
function(launcher_embed_classpath output common pylor tables)
  add_custom_command(OUTPUT "${output}"
    COMMAND ${CMAKE_COMMAND} "-DCOMMON=${common}" "-DPYLOR=${pylor}" "-DTABLES=${tables}" "-DOUTPUT=${output}"
            -P "${CMAKE_SOURCE_DIR}/cmake/embed_classpath.cmake"
    DEPENDS "${common}" "${pylor}" "${CMAKE_SOURCE_DIR}/cmake/embed_classpath.cmake"
    COMMENT "Checking and embedding the class-path lists"
    VERBATIM)
endfunction()
