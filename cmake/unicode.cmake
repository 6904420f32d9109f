# The character classes of the quoted form, generated at configure time by
# tools/ucdgen from Debian's unicode-data package, so the host and the
# Windows builds compile the same ranges.
include(${CMAKE_SOURCE_DIR}/cmake/host_tool.cmake)

set(LAUNCHER_UCD_DIR "/usr/share/unicode" CACHE PATH
    "Unicode Character Database (UnicodeData.txt, DerivedCoreProperties.txt; Debian package unicode-data)")

# launcher_generate_quoted_escapes(<output file>)
function(launcher_generate_quoted_escapes output)
  set(inputs "${LAUNCHER_UCD_DIR}/UnicodeData.txt" "${LAUNCHER_UCD_DIR}/DerivedCoreProperties.txt")
  foreach(f IN LISTS inputs)
    if(NOT EXISTS "${f}")
      message(FATAL_ERROR "${f} not found: install Debian's unicode-data or set LAUNCHER_UCD_DIR")
    endif()
  endforeach()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${inputs})
  launcher_host_tool(ucdgen ucdgen ${CMAKE_SOURCE_DIR}/tools/ucdgen/main.cpp)
  get_filename_component(dir "${output}" DIRECTORY)
  file(MAKE_DIRECTORY "${dir}")
  execute_process(COMMAND "${ucdgen}" ${inputs} "${output}.tmp"
    RESULT_VARIABLE rc OUTPUT_VARIABLE version ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "generating ${output} failed: ${err}")
  endif()
  # Unchanged tables keep their time stamp, so nothing recompiles.
  file(COPY_FILE "${output}.tmp" "${output}" ONLY_IF_DIFFERENT)
  file(REMOVE "${output}.tmp")
  message(STATUS "Quoted form: character classes of Unicode ${version}")
endfunction()
