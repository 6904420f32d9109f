# JNI headers come from the host JDK; the Windows build adds our own jni_md.h.
set(LAUNCHER_JDK_HOME "" CACHE PATH "JDK used for jni.h, the host JVM tests and javac")
if(NOT LAUNCHER_JDK_HOME)
  find_program(LAUNCHER_JAVAC_PROGRAM javac REQUIRED NO_CMAKE_FIND_ROOT_PATH)
  file(REAL_PATH "${LAUNCHER_JAVAC_PROGRAM}" _javac_real)
  get_filename_component(_jdk_bin "${_javac_real}" DIRECTORY)
  get_filename_component(_jdk_home "${_jdk_bin}" DIRECTORY)
  set(LAUNCHER_JDK_HOME "${_jdk_home}" CACHE PATH "" FORCE)
endif()
if(NOT EXISTS "${LAUNCHER_JDK_HOME}/include/jni.h")
  message(FATAL_ERROR "no jni.h under ${LAUNCHER_JDK_HOME}/include")
endif()

add_library(launcher_jni INTERFACE)
if(LAUNCHER_WINDOWS)
  target_include_directories(launcher_jni SYSTEM INTERFACE
    ${CMAKE_SOURCE_DIR}/native/jni_win32 ${LAUNCHER_JDK_HOME}/include)
else()
  target_include_directories(launcher_jni SYSTEM INTERFACE
    ${LAUNCHER_JDK_HOME}/include ${LAUNCHER_JDK_HOME}/include/linux)
endif()
set(LAUNCHER_JAVAC "${LAUNCHER_JDK_HOME}/bin/javac")
set(LAUNCHER_LIBJVM "${LAUNCHER_JDK_HOME}/lib/server/libjvm.so")
