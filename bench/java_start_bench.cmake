# The Java start: the host side up to JNI_CreateJavaVM against a JVM that
# returns at once, and a program for the whole start against the real JVM
# beside the java launcher (scripts/java_start_compare.sh).
add_library(java_start_fake_jvm SHARED ${CMAKE_CURRENT_SOURCE_DIR}/java_start_fake_jvm.cpp)
target_link_libraries(java_start_fake_jvm PRIVATE launcher_jni launcher_warnings)

add_executable(java_start_bench ${CMAKE_CURRENT_SOURCE_DIR}/java_start_bench.cpp)
add_dependencies(java_start_bench java_start_fake_jvm)
target_compile_definitions(java_start_bench PRIVATE LAUNCHER_BENCH_FAKE_JVM="$<TARGET_FILE:java_start_fake_jvm>")
target_link_libraries(java_start_bench PRIVATE launcherwindows launcher_warnings benchmark::benchmark)
# The fake JVM writes its time into a variable of the program.
set_target_properties(java_start_bench PROPERTIES ENABLE_EXPORTS ON)

set(java_start_bench_classes ${CMAKE_CURRENT_BINARY_DIR}/java-start-classes)
add_custom_command(OUTPUT ${java_start_bench_classes}/JavaStartTrivial.class
  COMMAND ${LAUNCHER_JAVAC} -d ${java_start_bench_classes} ${CMAKE_CURRENT_SOURCE_DIR}/java_start_trivial.java
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/java_start_trivial.java
  VERBATIM)
add_custom_target(java_start_bench_classes DEPENDS ${java_start_bench_classes}/JavaStartTrivial.class)
add_executable(java_start_run ${CMAKE_CURRENT_SOURCE_DIR}/java_start_run.cpp)
add_dependencies(java_start_run java_start_bench_classes)
target_link_libraries(java_start_run PRIVATE launcherwindows launcher_warnings)
