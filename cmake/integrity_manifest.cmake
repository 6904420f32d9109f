# launcher_integrity_manifest(<target> <manifest file or empty>)
# Makes a static library holding the compiled-in integrity list. A manifest
# line is: <application> <sha256 hex> <path relative to the installation directory>.
function(launcher_integrity_manifest target manifest)
  set(entries "")
  set(count 0)
  if(manifest)
    if(NOT EXISTS "${manifest}")
      message(FATAL_ERROR "integrity manifest ${manifest} does not exist")
    endif()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${manifest}")
    file(STRINGS "${manifest}" lines)
    foreach(line IN LISTS lines)
      string(STRIP "${line}" line)
      if(line STREQUAL "" OR line MATCHES "^#")
        continue()
      endif()
      list(JOIN LAUNCHER_APPLICATION_WORDS "|" words)
      if(NOT line MATCHES "^(${words})[ \t]+([0-9a-fA-F]+)[ \t]+(.+)$")
        message(FATAL_ERROR "${manifest}: bad line '${line}'")
      endif()
      set(app "${CMAKE_MATCH_1}")
      string(TOLOWER "${CMAKE_MATCH_2}" digest)
      set(path "${CMAKE_MATCH_3}")
      string(LENGTH "${digest}" dlen)
      if(NOT dlen EQUAL 64)
        message(FATAL_ERROR "${manifest}: '${digest}' is not a SHA-256")
      endif()
      string(REPLACE "\\" "/" path "${path}")
      string(REPLACE "\"" "\\\"" path "${path}")
      string(APPEND entries "    {\"${app}\", \"${path}\", \"${digest}\"},\n")
      math(EXPR count "${count} + 1")
    endforeach()
  endif()
  if(count EQUAL 0)
    # No list: every application is valid. The array needs one element in C++.
    set(entries "    {\"\", \"\", \"\"},\n")
  endif()
  set(out "${CMAKE_CURRENT_BINARY_DIR}/${target}.cpp")
  file(CONFIGURE OUTPUT "${out}" CONTENT
"// Generated from the integrity manifest; do not edit.
#include \"integrity/integrity.h\"
extern \"C\" const launcherwindows::integrity::FileDigest launcher_integrity_manifest[] = {
@entries@};
extern \"C\" const std::size_t launcher_integrity_manifest_count = @count@;
" @ONLY)
  add_library(${target} STATIC "${out}")
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/native)
endfunction()
