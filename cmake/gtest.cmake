# GoogleTest: Debian's packaged build on the host; built from Debian's
# sources (/usr/src/googletest) for the Windows targets.
if(LAUNCHER_WINDOWS)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# A Wine prefix of this build's own, made once per test run.
set(LAUNCHER_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
