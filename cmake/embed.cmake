# Build-time embedding of the deployment data under data/: the application
# records and the class-path lists become C++ sources, so a deployment sees
# and replaces plain files instead of code.

# launcher_embed_records(<output.cpp> <directory>): ormic.json, ormad.json,
# vesmors.json and zentu.json of <directory>, byte for byte.
function(launcher_embed_records output dir)
  set(inputs "")
  foreach(name ormic ormad vesmors zentu)
    list(APPEND inputs "${dir}/${name}.json")
  endforeach()
  add_custom_command(OUTPUT "${output}"
    COMMAND ${CMAKE_COMMAND} "-DRECORDS_DIR=${dir}" "-DOUTPUT=${output}"
            -P "${CMAKE_SOURCE_DIR}/cmake/embed_records.cmake"
    DEPENDS ${inputs} "${CMAKE_SOURCE_DIR}/cmake/embed_records.cmake"
    COMMENT "Embedding the application records from ${dir}"
    VERBATIM)
endfunction()

# launcher_embed_classpath(<output.cpp> <common list> <pylor list>): the
# class-path tables; the build stops on a list that breaks the table's rules.
function(launcher_embed_classpath output common pylor)
  add_custom_command(OUTPUT "${output}"
    COMMAND ${CMAKE_COMMAND} "-DCOMMON=${common}" "-DPYLOR=${pylor}" "-DOUTPUT=${output}"
            -P "${CMAKE_SOURCE_DIR}/cmake/embed_classpath.cmake"
    DEPENDS "${common}" "${pylor}" "${CMAKE_SOURCE_DIR}/cmake/embed_classpath.cmake"
    COMMENT "Checking and embedding the class-path lists"
    VERBATIM)
endfunction()
