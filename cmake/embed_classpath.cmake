# cmake -DCOMMON=<list> -DPYLOR=<list> [-DTABLES=<name;...>] -DOUTPUT=<file.cpp> -P embed_classpath.cmake
# Checks the class-path lists and writes the tables the application rows name
# (TABLES; all of them by default) as table_<name>, and table_none, the empty
# one. A list file holds one jar a line (relative to the working directory,
# forward slashes); blank lines and lines starting with '#' are skipped. The
# tables:
#   common   the common list (ormic and ormad)
#   vesmors  a list of its own with the same entries
#   pylor    the pylor file's pylorlib/ jars, then the common list
cmake_minimum_required(VERSION 3.25)
set(known_tables common vesmors pylor)
if(NOT DEFINED TABLES)
  set(TABLES ${known_tables})
endif()
foreach(table IN LISTS TABLES)
  if(NOT table IN_LIST known_tables)
    message(FATAL_ERROR "an application row names the class-path table '${table}', which is none of: ${known_tables}")
  endif()
endforeach()
foreach(var COMMON PYLOR OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "embed_classpath.cmake: ${var} is not set")
  endif()
endforeach()

# read_rows(<file> <prefix> <count> <first> <last> <out> <required rows>...)
function(read_rows file prefix count first last out)
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "class-path list ${file} does not exist")
  endif()
  file(READ "${file}" content)
  # ';' separates class-path entries, so no jar may hold it (and CMake lists use it).
  if(content MATCHES ";")
    message(FATAL_ERROR "${file}: a row holds ';', the class-path separator")
  endif()
  string(REPLACE "\r\n" "\n" content "${content}")
  string(REPLACE "\n" ";" lines "${content}")
  set(rows "")
  set(previous "")
  foreach(line IN LISTS lines)
    if(line STREQUAL "" OR line MATCHES "^#")
      continue()
    endif()
    if(line MATCHES "^[ \t]|[ \t]$")
      message(FATAL_ERROR "${file}: row '${line}' has leading or trailing white space")
    endif()
    if(line MATCHES "[\\\\\"\r\t]")
      message(FATAL_ERROR "${file}: row '${line}' holds a backslash, quote, tab or carriage return")
    endif()
    string(FIND "${line}" "${prefix}" at)
    if(NOT at EQUAL 0)
      message(FATAL_ERROR "${file}: row '${line}' does not lie under ${prefix}")
    endif()
    if(NOT previous STREQUAL "" AND NOT previous STRLESS line)
      if(previous STREQUAL line)
        message(FATAL_ERROR "${file}: row '${line}' appears twice")
      endif()
      message(FATAL_ERROR "${file}: row '${line}' is out of byte order (after '${previous}')")
    endif()
    list(APPEND rows "${line}")
    set(previous "${line}")
  endforeach()
  list(LENGTH rows n)
  if(NOT n EQUAL count)
    message(FATAL_ERROR "${file}: ${n} rows, expected ${count}")
  endif()
  list(GET rows 0 head)
  list(GET rows -1 tail)
  if(NOT head STREQUAL first OR NOT tail STREQUAL last)
    message(FATAL_ERROR "${file}: the rows must run from '${first}' to '${last}', not from '${head}' to '${tail}'")
  endif()
  foreach(required IN LISTS ARGN)
    if(NOT required IN_LIST rows)
      message(FATAL_ERROR "${file}: required row '${required}' is missing")
    endif()
  endforeach()
  set(${out} "${rows}" PARENT_SCOPE)
endfunction()

read_rows("${COMMON}" "lib/" 232 "lib/ABISFoundationSDK.jar" "lib/zip4j-1.3.2.jar" common_rows
  lib/commons-io-2.0.jar lib/gson-2.9.0.jar lib/log4j-1.2.16.jar
  lib/tolvan.ec.security-3.3.4.2.jar lib/tolvan.ormad-3.3.4.2.jar
  lib/tolvan.vesmor-3.3.4.2.jar lib/tolvan.vesmor.server-3.3.4.2.jar
  lib/vesmors-wrapper-1.0.0.jar)
read_rows("${PYLOR}" "pylorlib/" 14 "pylorlib/cal10n-api-0.7.4.jar" "pylorlib/wrapper.jar" pylor_rows
  pylorlib/tolvan.pylor.jar)

# Rows are printable ASCII here in practice; other bytes go in as \xHH so any
# byte reaches the table unchanged (the reader of the table checks UTF-8).
function(c_literal row out)
  if(row MATCHES "^[ -~]*$")
    set(${out} "\"${row}\"" PARENT_SCOPE)
  else()
    string(HEX "${row}" hex)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" text "${hex}")
    set(${out} "\"${text}\"" PARENT_SCOPE)
  endif()
endfunction()

set(common_init "")
foreach(row IN LISTS common_rows)
  c_literal("${row}" literal)
  string(APPEND common_init "    ${literal},\n")
endforeach()
set(pylor_init "")
foreach(row IN LISTS pylor_rows)
  c_literal("${row}" literal)
  string(APPEND pylor_init "    ${literal},\n")
endforeach()

list(LENGTH common_rows common_count)
list(LENGTH pylor_rows pylor_count)
math(EXPR pylor_count "${pylor_count} + ${common_count}")
set(lists_common "${common_init}")
set(lists_vesmors "${common_init}")
set(lists_pylor "${pylor_init}${common_init}")
set(counts_common ${common_count})
set(counts_vesmors ${common_count})
set(counts_pylor ${pylor_count})
set(tables_text "")
foreach(table IN LISTS TABLES)
  string(APPEND tables_text "const char* const ${table}_list[] = {\n${lists_${table}}};\n"
    "extern constinit const ClassPathTable table_${table}{${counts_${table}}, ${table}_list};\n\n")
endforeach()

file(CONFIGURE OUTPUT "${OUTPUT}" CONTENT
"// Generated by cmake/embed_classpath.cmake from @COMMON@ and @PYLOR@; do not edit.
#include \"init/applications.h\"

namespace launcherwindows::init::classpath_data {

// Each table has a list of its own, even where the entries are the same.
@tables_text@extern constinit const ClassPathTable table_none{0, nullptr};

}  // namespace launcherwindows::init::classpath_data
" @ONLY)
