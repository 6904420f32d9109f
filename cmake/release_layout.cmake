# The shipped executable carries no debug sections or symbols; they go to
# <exe>.debug beside it, which .gnu_debuglink names, so addresses from a
# user's machine resolve here with addr2line.

# Debug information for our own code too, not only for the MinGW runtime's.
# (-g leaves the generated code as it is.)
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-g>")

# The repository's dist/ belongs to the windows preset's own build folder:
# any other folder configured from these sources (a test key, a rebuild
# check) keeps its product to itself.
file(REAL_PATH "${CMAKE_BINARY_DIR}" _launcher_binary_dir)
file(REAL_PATH "${CMAKE_SOURCE_DIR}/build/windows" _launcher_preset_dir)
set(_launcher_owns_dist OFF)
if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND _launcher_binary_dir STREQUAL _launcher_preset_dir)
  set(_launcher_owns_dist ON)
endif()
set(_launcher_dist_default "")
if(_launcher_owns_dist)
  set(_launcher_dist_default "${CMAKE_SOURCE_DIR}/dist")
endif()
set(LAUNCHER_DIST_DIR "${_launcher_dist_default}" CACHE PATH
    "Where the build copies launcher.exe and launcher.exe.debug (empty: nowhere; the repository's dist/ only from build/windows)")
if(LAUNCHER_DIST_DIR AND NOT _launcher_owns_dist)
  file(REAL_PATH "${LAUNCHER_DIST_DIR}" _launcher_dist_real BASE_DIRECTORY "${CMAKE_BINARY_DIR}")
  file(REAL_PATH "${CMAKE_SOURCE_DIR}/dist" _launcher_repo_dist)
  if(_launcher_dist_real STREQUAL _launcher_repo_dist)
    message(WARNING "LAUNCHER_DIST_DIR is the repository's dist/, which only build/windows writes: not copying there")
    set(LAUNCHER_DIST_DIR "" CACHE PATH "" FORCE)
  endif()
endif()

# launcher_release_layout(<target>): strips <target> in place after each
# link, so the build folder's file is the one that ships and that the tests
# run; with LAUNCHER_DIST_DIR set, copies it and its debug file there.
function(launcher_release_layout target)
  get_target_property(dir ${target} BINARY_DIR)
  set(name "${target}${CMAKE_EXECUTABLE_SUFFIX}")
  set(exe "${dir}/${name}")
  # objcopy stamps the PE header with the current time unless
  # SOURCE_DATE_EPOCH says otherwise; 0 is what ld --no-insert-timestamp writes.
  set(objcopy ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${CMAKE_OBJCOPY})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${objcopy} --only-keep-debug ${name} ${name}.debug
    COMMAND ${objcopy} --strip-all --add-gnu-debuglink=${name}.debug ${name}
    BYPRODUCTS ${exe}.debug
    WORKING_DIRECTORY ${dir}
    COMMENT "Moving the debug sections of ${name} to ${name}.debug"
    VERBATIM)
  if(LAUNCHER_DIST_DIR)
    add_custom_command(OUTPUT ${LAUNCHER_DIST_DIR}/${name} ${LAUNCHER_DIST_DIR}/${name}.debug
      COMMAND ${CMAKE_COMMAND} -E make_directory ${LAUNCHER_DIST_DIR}
      COMMAND ${CMAKE_COMMAND} -E copy ${exe} ${exe}.debug ${LAUNCHER_DIST_DIR}
      DEPENDS ${target} ${exe} ${exe}.debug
      COMMENT "Copying ${name} and ${name}.debug to ${LAUNCHER_DIST_DIR}"
      VERBATIM)
    add_custom_target(${target}_dist ALL DEPENDS ${LAUNCHER_DIST_DIR}/${name} ${LAUNCHER_DIST_DIR}/${name}.debug)
  endif()
endfunction()
