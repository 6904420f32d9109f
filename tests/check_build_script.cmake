# check_build_script(<case> <what> <regex or ""> <script> <-D definition>...)
# Runs a build step's script (cmake -P) as the build would: with a regex, it
# must refuse <what> with a message that matches it; with "", accept it.
function(check_build_script name what pattern script)
  execute_process(COMMAND ${CMAKE_COMMAND} ${ARGN} -P "${script}"
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  string(REGEX REPLACE "[ \t\r\n]+" " " out "${out}")
  if(pattern STREQUAL "")
    if(NOT rc EQUAL 0)
      message(SEND_ERROR "${name}: refused a good ${what}: ${out}")
    endif()
  elseif(rc EQUAL 0)
    message(SEND_ERROR "${name}: accepted a bad ${what}")
  elseif(NOT out MATCHES "${pattern}")
    message(SEND_ERROR "${name}: refused, but not with '${pattern}': ${out}")
  endif()
endfunction()
