# White-box cipher tables and the distribution key, compiled into the product.
#
# The tables are generated at configure time by tools/wbgen, built with the
# host compiler (also in the cross builds), unless a deployed tables file is
# given. Both files are embedded with the assembler's .incbin.

set(LAUNCHER_WHITEBOX_KEY "3b02fa64f6b344525e5c1c848897fd2c8db06e795c734ef444acaebbe1028ca8" CACHE STRING
    "AES-256 key (64 hex digits) the white-box tables are generated for (default: a development key)")
set(LAUNCHER_WHITEBOX_SEED "launcher-development" CACHE STRING
    "Seed of the random bijections in the generated white-box tables")
set(LAUNCHER_WHITEBOX_TABLES "" CACHE FILEPATH
    "Deployed white-box tables (749568 bytes: XOR, round-input, mixing, final-round); wins over the key")
set(LAUNCHER_DISTRIBUTION_KEY "${CMAKE_SOURCE_DIR}/data/cipher/development-distribution-key.bin" CACHE FILEPATH
    "The 48-byte encrypted distribution key (default: a development value)")

set(LAUNCHER_WHITEBOX_TABLES_SIZE 749568 CACHE INTERNAL "Bytes of the white-box tables")

# The generator as a library for the target, so the tests can make tables
# for any key in-process on every platform.
if(NOT TARGET wbgen_core)
  add_library(wbgen_core STATIC ${CMAKE_SOURCE_DIR}/tools/wbgen/wbgen.cpp)
  target_include_directories(wbgen_core PUBLIC ${CMAKE_SOURCE_DIR}/tools/wbgen)
  target_link_libraries(wbgen_core PRIVATE launcher_warnings)
endif()

include(${CMAKE_SOURCE_DIR}/cmake/host_tool.cmake)

# launcher_wbgen_host(<out var>): path of the generator built for the build
# machine.
function(launcher_wbgen_host out_var)
  launcher_host_tool(wbgen exe
    ${CMAKE_SOURCE_DIR}/tools/wbgen/wbgen.h
    ${CMAKE_SOURCE_DIR}/tools/wbgen/wbgen.cpp
    ${CMAKE_SOURCE_DIR}/tools/wbgen/main.cpp)
  set(${out_var} "${exe}" PARENT_SCOPE)
endfunction()

# launcher_generate_whitebox_tables(<output file> <key hex> <seed>)
# Writes tables at configure time; skipped when the same inputs made the file.
function(launcher_generate_whitebox_tables output key seed)
  if(NOT key MATCHES "^[0-9a-fA-F]+$")
    message(FATAL_ERROR "white-box key '${key}' is not 64 hex digits")
  endif()
  string(LENGTH "${key}" len)
  if(NOT len EQUAL 64)
    message(FATAL_ERROR "white-box key has ${len} hex digits, not 64")
  endif()
  launcher_wbgen_host(wbgen)
  set(args "${key}" "${seed}" "${output}")
  file(SHA256 "${wbgen}" tool_hash)
  string(SHA256 stamp_text "${tool_hash};${args}")
  if(EXISTS "${output}" AND EXISTS "${output}.stamp")
    file(READ "${output}.stamp" old)
    if(old STREQUAL stamp_text)
      return()
    endif()
  endif()
  get_filename_component(dir "${output}" DIRECTORY)
  file(MAKE_DIRECTORY "${dir}")
  execute_process(COMMAND "${wbgen}" ${args} RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "generating white-box tables ${output} failed: ${err}")
  endif()
  file(WRITE "${output}.stamp" "${stamp_text}")
endfunction()

# launcher_embed_blob(<target> <symbol> <file> <size>): adds to <target> a
# read-only byte array `extern "C" const unsigned char <symbol>[<size>]`
# holding the file, which must have exactly that size.
function(launcher_embed_blob target symbol file size)
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "${file} does not exist")
  endif()
  file(SIZE "${file}" actual)
  if(NOT actual EQUAL size)
    message(FATAL_ERROR "${file} has ${actual} bytes, not ${size}")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${file}")
  # The path goes into an assembler string inside a C++ string literal.
  file(REAL_PATH "${file}" path)
  string(REPLACE "\\" "\\\\" path "${path}")
  string(REPLACE "\"" "\\\"" path "${path}")
  string(REPLACE "\\" "\\\\" path "${path}")
  string(REPLACE "\"" "\\\"" path "${path}")
  set(out "${CMAKE_CURRENT_BINARY_DIR}/${symbol}.cpp")
  file(CONFIGURE OUTPUT "${out}" CONTENT
"// Generated: embeds @file@
#define LAUNCHER_STR2(x) #x
#define LAUNCHER_STR(x) LAUNCHER_STR2(x)
#define LAUNCHER_SYMBOL LAUNCHER_STR(__USER_LABEL_PREFIX__) \"@symbol@\"
#ifdef _WIN32
__asm__(\".section .rdata,\\\"dr\\\"\\n\"
        \".balign 64\\n\"
        \".globl \" LAUNCHER_SYMBOL \"\\n\"
        LAUNCHER_SYMBOL \":\\n\"
        \".incbin \\\"@path@\\\"\\n\"
        \".text\\n\");
#else
__asm__(\".section .rodata\\n\"
        \".balign 64\\n\"
        \".globl \" LAUNCHER_SYMBOL \"\\n\"
        \".type \" LAUNCHER_SYMBOL \", @object\\n\"
        \".size \" LAUNCHER_SYMBOL \", @size@\\n\"
        LAUNCHER_SYMBOL \":\\n\"
        \".incbin \\\"@path@\\\"\\n\"
        \".previous\\n\");
#endif
" @ONLY)
  target_sources(${target} PRIVATE "${out}")
  set_source_files_properties("${out}" TARGET_DIRECTORY ${target} PROPERTIES OBJECT_DEPENDS "${file}")
endfunction()

# The product's tables: deployed ones if given, else generated for the key.
if(LAUNCHER_WHITEBOX_TABLES)
  set(_launcher_tables "${LAUNCHER_WHITEBOX_TABLES}")
  set(_launcher_tables_key "")
else()
  set(_launcher_tables "${CMAKE_BINARY_DIR}/cipher/whitebox_tables.bin")
  launcher_generate_whitebox_tables("${_launcher_tables}" "${LAUNCHER_WHITEBOX_KEY}" "${LAUNCHER_WHITEBOX_SEED}")
  set(_launcher_tables_key "${LAUNCHER_WHITEBOX_KEY}")
endif()
# For the tests: the key of the compiled-in tables (empty when deployed).
set_property(GLOBAL PROPERTY LAUNCHER_CIPHER_TABLES_KEY "${_launcher_tables_key}")

# launcher_cipher_data: the compiled-in tables and distribution key.
add_library(launcher_cipher_data STATIC)
launcher_embed_blob(launcher_cipher_data launcher_whitebox_tables "${_launcher_tables}" ${LAUNCHER_WHITEBOX_TABLES_SIZE})
launcher_embed_blob(launcher_cipher_data launcher_distribution_key "${LAUNCHER_DISTRIBUTION_KEY}" 48)
