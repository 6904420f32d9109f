# One commit, one launcher.exe: the bytes must not depend on where or when
# it was built. The white-box tables already follow LAUNCHER_WHITEBOX_SEED.

# Build folders out of file names (debug info, __FILE__). The build folder
# comes last: it may lie inside the source folder, and the last map wins.
add_compile_options(
  "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=/launcher>"
  "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}=/launcher-build>")

# No link time in the PE header.
add_link_options(-Wl,--no-insert-timestamp)

# Archives without dates, owners or modes, whatever the binutils default.
foreach(lang C CXX)
  set(CMAKE_${lang}_ARCHIVE_CREATE "<CMAKE_AR> qcD <TARGET> <LINK_FLAGS> <OBJECTS>")
  set(CMAKE_${lang}_ARCHIVE_APPEND "<CMAKE_AR> qD <TARGET> <LINK_FLAGS> <OBJECTS>")
  set(CMAKE_${lang}_ARCHIVE_FINISH "<CMAKE_RANLIB> -D <TARGET>")
endforeach()
