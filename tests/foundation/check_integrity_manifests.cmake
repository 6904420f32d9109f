# cmake -DSOURCE_DIR=<repo> -DWORK_DIR=<dir> -DWORDS=<word|word|...> -P check_integrity_manifests.cmake
# The integrity manifest's reader: the entries it embeds for a manifest, byte
# for byte, and the manifests it refuses, each with its own message.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../check_build_script.cmake)
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
set(abc "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad")
string(TOUPPER "${abc}" abc_upper)
string(ASCII 239 187 191 bom)
string(ASCII 233 latin1_e_acute)
string(ASCII 237 160 128 surrogate)

# expect(<name> <manifest text> <the embedded entries, or "refused: <regex of the message>">)
function(expect name text result)
  file(WRITE "${WORK_DIR}/${name}.manifest" "${text}")
  set(pattern "")
  if(result MATCHES "^refused: (.*)$")
    set(pattern "${CMAKE_MATCH_1}")
  endif()
  check_build_script(${name} manifest "${pattern}" "${SOURCE_DIR}/cmake/integrity_manifest.cmake"
    "-DMANIFEST=${WORK_DIR}/${name}.manifest" "-DWORDS=${WORDS}" "-DOUTPUT=${WORK_DIR}/${name}.cpp")
  if(NOT pattern STREQUAL "" OR NOT EXISTS "${WORK_DIR}/${name}.cpp")
    return()
  endif()
  file(READ "${WORK_DIR}/${name}.cpp" source)
  string(FIND "${source}" "[] = {\n" begin)
  string(FIND "${source}" "};\n" end)
  math(EXPR begin "${begin} + 7")
  math(EXPR length "${end} - ${begin}")
  string(SUBSTRING "${source}" ${begin} ${length} entries)
  if(NOT entries STREQUAL result)
    message(SEND_ERROR "${name}: embedded\n${entries}instead of\n${result}")
  endif()
endfunction()

expect(ascii "ormic ${abc} lib/a.jar\n" "    {\"ormic\", \"lib/a.jar\", \"${abc}\"},\n")
expect(upper_case_digest_tabs_backslashes "ormad\t${abc_upper}\tlib\\sub\\b.jar"
  "    {\"ormad\", \"lib/sub/b.jar\", \"${abc}\"},\n")
# A name beyond ASCII is embedded whole, its UTF-8 bytes as octal escapes.
expect(non_ascii "ormic ${abc} lib/café-3.3.4.2.jar\nzentu ${abc} bin/名-😀.dll\n"
  "    {\"ormic\", \"lib/caf\\303\\251-3.3.4.2.jar\", \"${abc}\"},\n    {\"zentu\", \"bin/\\345\\220\\215-\\360\\237\\230\\200.dll\", \"${abc}\"},\n")
expect(byte_order_mark_comments_crlf "${bom}# the list\r\n\r\normic ${abc} lib/a.jar\r\n"
  "    {\"ormic\", \"lib/a.jar\", \"${abc}\"},\n")
# Characters that CMake lists treat specially stay in their own line.
expect(list_characters "vesmors ${abc} vesmor/l1/a;b[c.dll\normic ${abc} lib/d]\"\${e}.jar\n"
  "    {\"vesmors\", \"vesmor/l1/a;b[c.dll\", \"${abc}\"},\n    {\"ormic\", \"lib/d]\\042\${e}.jar\", \"${abc}\"},\n")
expect(empty "" "    {\"\", \"\", \"\"},\n")

expect(latin1 "ormic ${abc} lib/caf${latin1_e_acute}-3.3.4.2.jar\n" "refused: line 1 is not UTF-8")
expect(surrogate "ormic ${abc} lib/a.jar\normic ${abc} lib/${surrogate}.jar\n" "refused: line 2 is not UTF-8")
expect(lone_carriage_return "ormic ${abc} lib/a.jar\rormad ${abc} lib/b.jar\n"
  "refused: line 1 holds a control character")
expect(unknown_application "pylorx ${abc} lib/a.jar\n" "refused: bad line 'pylorx ")
expect(short_digest "ormic ${abc}0 lib/a.jar\n" "refused: is not a SHA-256")
