# Reading a compiled-in record and building the class-path option: the work
# every Java start does before the JVM is loaded.
add_executable(records_bench ${CMAKE_CURRENT_SOURCE_DIR}/records_bench.cpp)
target_link_libraries(records_bench PRIVATE launcherwindows launcher_warnings benchmark::benchmark)
