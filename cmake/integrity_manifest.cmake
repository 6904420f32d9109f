# launcher_integrity_manifest(<target> <manifest file or empty>)
# Makes a static library holding the compiled-in integrity list. A manifest
# line is: <application> <sha256 hex> <path relative to the installation directory>.
# The manifest is UTF-8 (a byte-order mark is skipped); blank lines and lines
# starting with '#' are skipped.
#
# cmake -DMANIFEST=<file> -DWORDS=<word|word|...> -DOUTPUT=<file.cpp> -P integrity_manifest.cmake
# writes the list's source alone (the tests of the reader).
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  cmake_minimum_required(VERSION 3.25)
endif()

# The text's bytes as "c3 a9 ...", each followed by a blank, so that a pattern
# of whole bytes cannot match across two.
function(_launcher_spaced_hex text out)
  string(HEX "${text}" hex)
  string(REGEX REPLACE "(..)" "\\1 " hex "${hex}")
  set(${out} "${hex}" PARENT_SCOPE)
endfunction()

# The text as the inside of a C string literal: printable ASCII as it is, every
# other byte (and a quotation mark or backslash) as a three-digit octal escape,
# so that no compiler's idea of the source's character set can change a name.
function(_launcher_c_string text out)
  string(HEX "${text}" hex)
  string(REGEX MATCHALL ".." bytes "${hex}")
  set(literal "")
  foreach(byte IN LISTS bytes)
    math(EXPR value "0x${byte}")
    if(value GREATER_EQUAL 32 AND value LESS 127 AND NOT value EQUAL 34 AND NOT value EQUAL 92)
      string(ASCII ${value} char)
      string(APPEND literal "${char}")
    else()
      math(EXPR high "${value} / 64")
      math(EXPR middle "${value} / 8 % 8")
      math(EXPR low "${value} % 8")
      string(APPEND literal "\\${high}${middle}${low}")
    endif()
  endforeach()
  set(${out} "${literal}" PARENT_SCOPE)
endfunction()

# launcher_read_integrity_manifest(<manifest> <words> <out>): the C++ source of
# the list, <words> the application words joined by "|".
function(launcher_read_integrity_manifest manifest words out)
  set(entries "")
  set(count 0)
  if(manifest)
    if(NOT EXISTS "${manifest}")
      message(FATAL_ERROR "integrity manifest ${manifest} does not exist")
    endif()
    # Read as bytes: file(STRINGS) ends a line at the first byte beyond ASCII.
    file(READ "${manifest}" content)
    file(READ "${manifest}" bom LIMIT 3 HEX)
    if(bom STREQUAL "efbbbf")
      string(SUBSTRING "${content}" 3 -1 content)
    endif()
    string(REPLACE "\r\n" "\n" content "${content}")
    # A valid UTF-8 sequence in spaced hex: no overlong forms, no surrogates,
    # nothing past U+10FFFF.
    set(tail "[89ab][0-9a-f] ")
    set(utf8_sequence "[0-7][0-9a-f] |(c[2-9a-f]|d[0-9a-f]) ${tail}|e0 [ab][0-9a-f] ${tail}|e[1-9a-cef] ${tail}${tail}")
    string(APPEND utf8_sequence "|ed [89][0-9a-f] ${tail}|f0 [9ab][0-9a-f] ${tail}${tail}|f[1-3] ${tail}${tail}${tail}")
    string(APPEND utf8_sequence "|f4 8[0-9a-f] ${tail}${tail}")
    set(number 0)
    # Line by line without CMake lists, which would split a path at ';' or keep
    # lines together after an unmatched '['.
    while(NOT content STREQUAL "")
      math(EXPR number "${number} + 1")
      string(FIND "${content}" "\n" end)
      if(end EQUAL -1)
        set(line "${content}")
        set(content "")
      else()
        string(SUBSTRING "${content}" 0 ${end} line)
        math(EXPR end "${end} + 1")
        string(SUBSTRING "${content}" ${end} -1 content)
      endif()
      _launcher_spaced_hex("${line}" bytes)
      string(REGEX REPLACE "${utf8_sequence}" "" stray "${bytes}")
      if(NOT stray STREQUAL "")
        message(FATAL_ERROR "${manifest}: line ${number} is not UTF-8")
      endif()
      # A NUL would end the line early for the checks below; no file name holds one.
      if(bytes MATCHES "(^| )(0[0-8a-f]|1[0-9a-f]) ")
        message(FATAL_ERROR "${manifest}: line ${number} holds a control character")
      endif()
      string(STRIP "${line}" line)
      if(line STREQUAL "" OR line MATCHES "^#")
        continue()
      endif()
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
      _launcher_c_string("${path}" path)
      string(APPEND entries "    {\"${app}\", \"${path}\", \"${digest}\"},\n")
      math(EXPR count "${count} + 1")
    endwhile()
  endif()
  if(count EQUAL 0)
    # No list: every application is valid. The array needs one element in C++.
    set(entries "    {\"\", \"\", \"\"},\n")
  endif()
  set(${out} "// Generated from the integrity manifest; do not edit.
#include \"integrity/integrity.h\"
extern \"C\" const launcherwindows::integrity::FileDigest launcher_integrity_manifest[] = {
${entries}};
extern \"C\" const std::size_t launcher_integrity_manifest_count = ${count};
" PARENT_SCOPE)
endfunction()

function(launcher_integrity_manifest target manifest)
  if(manifest)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${manifest}")
  endif()
  list(JOIN LAUNCHER_APPLICATION_WORDS "|" words)
  launcher_read_integrity_manifest("${manifest}" "${words}" source)
  set(out "${CMAKE_CURRENT_BINARY_DIR}/${target}.cpp")
  # Written only when it changed; a single substitution, so nothing in a path
  # is expanded.
  file(CONFIGURE OUTPUT "${out}" CONTENT "@source@" @ONLY)
  add_library(${target} STATIC "${out}")
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/native)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  launcher_read_integrity_manifest("${MANIFEST}" "${WORDS}" source)
  file(WRITE "${OUTPUT}" "${source}")
endif()
