#pragma once
// The native start of a Java application: loads the JVM library, creates the
// virtual machine, registers the cipher natives and runs main on the calling
// thread. One start per process (the JNI invocation interface allows one VM).
#include <jni.h>

#include <cstdint>
#include <cstdio>

// Results of initialize_java_app and initialize_java_methods.
inline constexpr std::int32_t kJavaStartOk = 0;
inline constexpr std::int32_t kJavaStartFailed = 1;            // nothing of main ran
inline constexpr std::int32_t kJavaStartUncaughtException = 2;  // main ended with an exception

extern "C" {
// Writes its trace to ".\launcher-logs\launcher-cpp.log" under the working
// directory (replaced on every start; skipped when it cannot be opened).
// Returns once main has returned and the VM is destroyed, which waits for the
// application's non-daemon threads. A negative option count counts as none.
std::int32_t initialize_java_app(const char* jvm_path, const char* const* options, std::int32_t option_count,
                                 const char* main_class, const char* encrypt_class);

// Makes the runtime's folder a DLL search folder, loads the JVM library
// (never unloaded) and creates the VM with the options in order; the new
// VM's environment, or null.
JNIEnv* initialize_vm(const char* jvm_path, JavaVM** vm, const char* const* options, std::int32_t option_count,
                      std::FILE* trace);

// Registers the natives on the key-provider class, calls main with a null
// argument array and destroys the VM. An uncaught exception's stack trace is
// appended to the trace.
std::int32_t initialize_java_methods(const char* main_class, const char* encrypt_class, JavaVM* vm,
                                     std::FILE* trace);

// What the last start found, in UTF-8, until the next start: after
// kJavaStartFailed the cause ("class a/B was not found", "class a/B could
// not be loaded: <the throwable's toString()>"), after
// kJavaStartUncaughtException the exception's toString(). Empty when unknown.
const char* java_start_detail(void);
}
