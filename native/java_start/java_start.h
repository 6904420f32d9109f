#pragma once
// The native start of a Java application: loads the JVM library, creates the
// virtual machine, registers the cipher natives and runs main on the calling
// thread. One start per process (the JNI invocation interface allows one VM).
// The C functions keep their fixed signatures over the C++ ones, which give
// the cause of a failure as a value.
#include <jni.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "common/result.h"
#include "java_start/java_exit.h"

// Results of initialize_java_app and initialize_java_methods.
inline constexpr std::int32_t kJavaStartOk = 0;
inline constexpr std::int32_t kJavaStartFailed = 1;            // nothing of main ran
inline constexpr std::int32_t kJavaStartUncaughtException = 2;  // main ended with an exception

namespace launcherwindows::java_start {

// Why a start did not end with main's normal return: kJavaStartFailed with
// the cause ("class a/B was not found", "class a/B could not be loaded:
// <the throwable's toString()>"), or kJavaStartUncaughtException with the
// exception's toString(). The cause is empty when it is not known.
struct Failure {
    std::int32_t status;
    std::string cause;
};
using Outcome = Result<Unit, Failure>;

struct CreatedVm {
    JavaVM* vm;
    JNIEnv* env;
};

// The whole start, writing its trace to `trace` (none when null), which it
// closes when main has returned and otherwise keeps open to the end of the
// process; the events are what the VM's hooks tell from then on.
Outcome start(const char* jvm_path, const char* const* options, std::int32_t option_count, const char* main_class,
              const char* encrypt_class, std::FILE* trace, Events events = {});

// Makes the runtime's folder a DLL search folder, loads the JVM library
// (never unloaded) and creates the VM with the options in order, followed by
// the exit and abort hooks.
Result<CreatedVm, std::string> create_vm(const char* jvm_path, const char* const* options, std::int32_t option_count,
                                         std::FILE* trace);

// Registers the natives on the key-provider class (a refusal is told and the
// start goes on), calls main with a null argument array and destroys the VM.
// An uncaught exception's stack trace is appended to the trace.
Outcome run_main(const CreatedVm& created, const char* main_class, const char* encrypt_class, std::FILE* trace,
                 const NativesRefused& refused = {});

}  // namespace launcherwindows::java_start

extern "C" {
// Writes its trace to ".\launcher-logs\launcher-cpp.log" under the working
// directory (made, or written on at its end; skipped when it cannot be opened).
// Returns once main has returned and the VM is destroyed, which waits for the
// application's non-daemon threads. A negative option count counts as none.
std::int32_t initialize_java_app(const char* jvm_path, const char* const* options, std::int32_t option_count,
                                 const char* main_class, const char* encrypt_class);

// create_vm: the new VM's environment, or null.
JNIEnv* initialize_vm(const char* jvm_path, JavaVM** vm, const char* const* options, std::int32_t option_count,
                      std::FILE* trace);

// run_main on a VM that initialize_vm created on this thread.
std::int32_t initialize_java_methods(const char* main_class, const char* encrypt_class, JavaVM* vm,
                                     std::FILE* trace);
}
