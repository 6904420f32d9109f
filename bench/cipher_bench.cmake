# The white-box cipher beside OpenSSL's AES-256-CFB. Run OpenSSL without
# AES-NI for the software comparison:
#   OPENSSL_ia32cap="~0x200000200000000" bench/cipher_bench
find_package(OpenSSL REQUIRED)
add_executable(cipher_bench ${CMAKE_CURRENT_SOURCE_DIR}/cipher_bench.cpp)
target_link_libraries(cipher_bench PRIVATE launcher_cipher wbgen_core launcher_warnings
  benchmark::benchmark OpenSSL::Crypto)
