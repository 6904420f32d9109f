# The PE reader that explains a failed JVM library load, on crafted files of
# up to 64 MiB (the most the launcher reads of one).
add_executable(pe_image_bench ${CMAKE_CURRENT_SOURCE_DIR}/pe_image_bench.cpp)
target_link_libraries(pe_image_bench PRIVATE launcher_java_start launcher_warnings benchmark::benchmark)
