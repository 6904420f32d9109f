# Same sources for 64-bit Windows: a compile check that the code is not
# 32-bit-only, and the x86-64 test doubles.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(LAUNCHER_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
