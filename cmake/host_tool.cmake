# Build-time tools (table generators) compiled for the build machine, also in
# the cross builds, and run at configure time.
include_guard(GLOBAL)

# launcher_host_tool(<name> <out var> <sources...>): path of <name> built from
# the sources (the .cpp files compiled, every file hashed), rebuilt when a
# source or the compiler changes.
function(launcher_host_tool name out_var)
  if(CMAKE_CROSSCOMPILING)
    find_program(LAUNCHER_HOST_CXX NAMES c++ g++ clang++ NO_CMAKE_FIND_ROOT_PATH
      DOC "C++ compiler for build-time tools in a cross build")
    if(NOT LAUNCHER_HOST_CXX)
      message(FATAL_ERROR "no host C++ compiler for ${name}; set LAUNCHER_HOST_CXX")
    endif()
    set(cxx "${LAUNCHER_HOST_CXX}")
  else()
    set(cxx "${CMAKE_CXX_COMPILER}")
  endif()
  set(sources ${ARGN})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${sources})

  set(dir "${CMAKE_BINARY_DIR}/${name}-host")
  set(exe "${dir}/${name}${CMAKE_HOST_EXECUTABLE_SUFFIX}")
  set(stamp_text "${cxx}")
  set(compiled "")
  foreach(src IN LISTS sources)
    file(SHA256 "${src}" h)
    string(APPEND stamp_text ";${h}")
    if(src MATCHES "\\.cpp$")
      list(APPEND compiled "${src}")
    endif()
  endforeach()
  if(EXISTS "${exe}" AND EXISTS "${dir}/stamp")
    file(READ "${dir}/stamp" old)
    if(old STREQUAL stamp_text)
      set(${out_var} "${exe}" PARENT_SCOPE)
      return()
    endif()
  endif()

  file(MAKE_DIRECTORY "${dir}")
  message(STATUS "Building ${name} with ${cxx}")
  execute_process(
    COMMAND "${cxx}" -std=c++20 -O2 -o "${exe}" ${compiled}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "building ${name} failed:\n${out}")
  endif()
  file(WRITE "${dir}/stamp" "${stamp_text}")
  set(${out_var} "${exe}" PARENT_SCOPE)
endfunction()
