# A private Wine prefix per build tree, made once per test run by a ctest
# fixture, with a persistent wineserver for the run.
if(LAUNCHER_WINDOWS)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "AMD64")
    set(LAUNCHER_WINE_ARCH win64)
  else()
    set(LAUNCHER_WINE_ARCH win32)
  endif()
else()
  # The host-side Wine tests run the product, the 32-bit build, by default.
  set(LAUNCHER_WINE_BUILD_DIR "${CMAKE_SOURCE_DIR}/build/windows" CACHE PATH
      "Windows build whose launcher.exe and test doubles the host-side Wine tests run")
  set(LAUNCHER_WINE_ARCH win32 CACHE STRING
      "Wine prefix architecture of the host-side Wine tests: win32 for a 32-bit build, win64 for a 64-bit one")
  set_property(CACHE LAUNCHER_WINE_ARCH PROPERTY STRINGS win32 win64)
endif()
if(LAUNCHER_WINE_ARCH STREQUAL "win64")
  set(LAUNCHER_WINE_LOADER /usr/lib/wine/wine64)
else()
  set(LAUNCHER_WINE_LOADER /usr/lib/wine/wine)
endif()

add_test(NAME wine_prefix_start
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh start ${LAUNCHER_WINEPREFIX} ${LAUNCHER_WINE_ARCH})
set_tests_properties(wine_prefix_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 400)
add_test(NAME wine_prefix_stop
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh stop ${LAUNCHER_WINEPREFIX} ${LAUNCHER_WINE_ARCH})
set_tests_properties(wine_prefix_stop PROPERTIES FIXTURES_CLEANUP wine)

# launcher_add_windows_test(<target>): one Windows-built gtest program, run
# under Wine by the cross-compiling emulator.
function(launcher_add_windows_test target)
  add_test(NAME ${target} COMMAND ${target} --gtest_color=no)
  set_tests_properties(${target} PROPERTIES
    FIXTURES_REQUIRED wine
    RESOURCE_LOCK wine_${LAUNCHER_WINE_ARCH}
    TIMEOUT 600
    ENVIRONMENT "WINEPREFIX=${LAUNCHER_WINEPREFIX};WINEDEBUG=-all")
endfunction()

# launcher_add_test(<target>): a gtest program on whichever side it was built for.
function(launcher_add_test target)
  if(LAUNCHER_WINDOWS)
    launcher_add_windows_test(${target})
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
  endif()
endfunction()
