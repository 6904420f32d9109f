// The native Java start: its trace file, the JVM library, the VM and main.
#include "java_start/java_start.h"

#include <dlfcn.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "java_start/java_exit.h"
#include "cipher/jni_natives.h"
#include "java_start/library_failure.h"
#include "common/log_folder.h"
#include "java_start/runtime_search.h"
#include "java_start/throwable_text.h"
#include "java_start/trace_file.h"

namespace {

constexpr const char* kMainName = "main";
constexpr const char* kMainSignature = "([Ljava/lang/String;)V";

// The process's JNI state, held to the end of the process.
jclass g_key_provider = nullptr;
jclass g_main_class = nullptr;
jmethodID g_main_method = nullptr;
// The trace of a start that failed before the VM existed stays open.
std::FILE* g_held_trace = nullptr;

using launcherwindows::Result;
using launcherwindows::Unit;
using launcherwindows::java_start::CreatedVm;
using launcherwindows::java_start::Failure;
using launcherwindows::java_start::NativesRefused;
using launcherwindows::java_start::Outcome;

Outcome failed(std::string cause) { return Outcome::err(Failure{kJavaStartFailed, std::move(cause)}); }

using CreateJavaVmFn = jint(JNICALL*)(JavaVM**, void**, void*);

const char* shown(const char* text) { return text ? text : "(null)"; }

// The trace must be in the file before every call out to the loader or the
// JVM, which may end the process (a crash, a kill of a server whose main never
// returns). Lines between two such calls are gathered into one write:
// syscalls are most of the start's own cost.
enum class Flush { Now, Later };
void trace(std::FILE* file, std::string_view text, Flush flush = Flush::Now) {
    if (!file) return;
    std::fwrite(text.data(), 1, text.size(), file);
    if (flush == Flush::Now) std::fflush(file);
}

std::string creation_failure(jint result) {
    const std::string returned = "JNI_CreateJavaVM returned " + std::to_string(result);
    switch (result) {
        case JNI_ERR: return returned + " (JNI_ERR)";
        case JNI_EDETACHED: return returned + " (JNI_EDETACHED)";
        case JNI_EVERSION: return returned + " (JNI_EVERSION)";
        case JNI_ENOMEM: return returned + " (JNI_ENOMEM): not enough memory for the heap options";
        case JNI_EEXIST: return returned + " (JNI_EEXIST)";
        case JNI_EINVAL: return returned + " (JNI_EINVAL): the runtime refused one of the options";
        default: return result < 0 ? returned : returned + " but gave no virtual machine";
    }
}

// The pending lookup failure's toString() when it is more than the plain
// absence (a class too new for the runtime, a static initializer that threw);
// empty for the absence or when it cannot be described.
std::string load_failure(JNIEnv* env, jthrowable pending, std::initializer_list<std::string_view> absent) {
    const std::string text = pending ? throwable_string(env, pending) : std::string();
    const std::string_view kind = std::string_view(text).substr(0, text.find(':'));
    for (const std::string_view a : absent) {
        if (kind == a) return {};
    }
    return text;
}

void destroy(JavaVM* vm) {
    vm->DestroyJavaVM();
    launcherwindows::java_start::set_running_vm(nullptr);
}

// A null name is traced the way "%s" prints one.
Outcome fail_after_lookup(JNIEnv* env, JavaVM* vm, std::FILE* file, const char* missing_text, const char* class_name,
                          std::string absent_cause, std::initializer_list<std::string_view> absent_kinds) {
    trace(file, missing_text + std::string(shown(class_name)) + "\n");
    const jthrowable pending = env->ExceptionOccurred();
    env->ExceptionDescribe();  // prints it as the JVM does, and clears it
    const std::string failure = load_failure(env, pending, absent_kinds);
    destroy(vm);
    return failed(failure.empty() ? std::move(absent_cause)
                                  : "class " + std::string(shown(class_name)) + " could not be loaded: " + failure);
}

Outcome class_not_found(JNIEnv* env, JavaVM* vm, std::FILE* file, const char* class_name) {
    return fail_after_lookup(env, vm, file, "Sorry - could not find class ", class_name,
                             "class " + std::string(shown(class_name)) + " was not found",
                             {"java.lang.NoClassDefFoundError", "java.lang.ClassNotFoundException"});
}

// Takes main's exception off the thread, lets the JVM print it as usual and
// appends its stack trace to the trace, since standard error may go nowhere.
Failure uncaught_exception(JNIEnv* env, std::FILE* file) {
    const jthrowable exception = env->ExceptionOccurred();
    env->ExceptionDescribe();  // which also clears it
    const ThrowableText text = describe_throwable(env, exception);
    if (!text.stack_trace.empty()) trace(file, text.stack_trace);
    return Failure{kJavaStartUncaughtException, text.description};
}

// A refused registration leaves its error pending (a NoSuchMethodError for a
// native the class declares otherwise), which no later call may meet: it is
// taken off the thread and told, and main runs, where those natives fail as
// they would unregistered.
void register_natives(JNIEnv* env, jclass key_provider, const char* class_name, const NativesRefused& refused) {
    const jint result = env->RegisterNatives(key_provider, cipher_native_methods(), kCipherNativeCount);
    if (result == JNI_OK) return;
    const jthrowable pending = env->ExceptionOccurred();
    if (pending) env->ExceptionClear();
    std::string reason = pending ? throwable_string(env, pending) : std::string();
    if (reason.empty()) reason = "RegisterNatives returned " + std::to_string(result);
    if (refused) refused(class_name, reason);
}

std::int32_t status_of(const Outcome& outcome) { return outcome ? kJavaStartOk : outcome.error().status; }

}  // namespace

namespace launcherwindows::java_start {

Result<CreatedVm, std::string> create_vm(const char* jvm_path, const char* const* options, std::int32_t option_count,
                                         std::FILE* file) {
    using R = Result<CreatedVm, std::string>;
    std::vector<JavaVMOption> vm_options;
    const std::int32_t count = (options && option_count > 0) ? option_count : 0;
    vm_options.reserve(static_cast<std::size_t>(count) + 2);
    for (std::int32_t i = 0; i < count; ++i) {
        // The JVM reads the option strings only.
        vm_options.push_back(JavaVMOption{const_cast<char*>(options[i]), nullptr});
    }
    // Then the hooks, so that an application's own exit ends the process our way.
    for (const JavaVMOption& hook : hook_options()) vm_options.push_back(hook);
    trace(file, "initialized all java options", Flush::Later);

    JavaVMInitArgs args{};
    args.version = JNI_VERSION_1_8;
    args.nOptions = static_cast<jint>(vm_options.size());
    args.options = vm_options.data();
    args.ignoreUnrecognized = JNI_FALSE;

    trace(file, "before initializing handle with dlopen");
    // Before the load: the runtime's own DLLs are imports of the JVM library.
    search_runtime_folder(jvm_path);
    // Never closed: the VM lives in it until the process ends.
    void* library = jvm_path ? dlopen(jvm_path, RTLD_NOW) : nullptr;
    if (!library) {
        // Asked at once: the trace's own writes may change the loader's error.
        std::string cause = std::string("the Java runtime ") + shown(jvm_path) + " " +
                            (jvm_path ? library_load_failure(jvm_path) : "could not be loaded: no path was given");
        trace(file, std::string("Unable to load JVM at ") + shown(jvm_path) + ", exiting\n");
        return R::err(std::move(cause));
    }
    trace(file, std::string("Loaded JVM from ") + jvm_path + "\n", Flush::Later);
    trace(file, "after dlopen\n");

    auto create = reinterpret_cast<CreateJavaVmFn>(dlsym(library, "JNI_CreateJavaVM"));
    trace(file, "after dlsym\n");
    JavaVM* vm = nullptr;
    JNIEnv* env = nullptr;
    jint result = JNI_ERR;
    if (create) {
        result = create(&vm, reinterpret_cast<void**>(&env), &args);
        trace(file, "after createjavavm\n");
    }
    // A library without the entry point counts as a failed creation.
    if (result < 0 || !env || !vm) {
        trace(file, "Unable to Launch JVM " + std::to_string(result) + "\n");
        return R::err(create ? creation_failure(result)
                             : std::string("the Java runtime ") + jvm_path + " has no JNI_CreateJavaVM");
    }
    trace(file, "Launched JVM\n");
    set_running_vm(vm);
    return R::ok(CreatedVm{vm, env});
}

Outcome run_main(const CreatedVm& created, const char* main_class, const char* encrypt_class, std::FILE* file,
                 const NativesRefused& refused) {
    JNIEnv* env = created.env;
    JavaVM* vm = created.vm;
    if (!env || !vm) return failed("no Java virtual machine was created");

    trace(file, "before findclass\n");
    g_key_provider = encrypt_class ? env->FindClass(encrypt_class) : nullptr;
    if (!g_key_provider) return class_not_found(env, vm, file, encrypt_class);
    trace(file, "after findclass\n");
    register_natives(env, g_key_provider, encrypt_class, refused);
    trace(file, "  RegisterNatives\n");

    g_main_class = main_class ? env->FindClass(main_class) : nullptr;
    if (!g_main_class) return class_not_found(env, vm, file, main_class);
    g_main_method = env->GetStaticMethodID(g_main_class, kMainName, kMainSignature);
    if (!g_main_method) {
        return fail_after_lookup(env, vm, file, "Sorry - could not find main method in class ", main_class,
                                 "class " + std::string(main_class) +
                                     " has no method public static void main(String[])",
                                 {"java.lang.NoSuchMethodError"});
    }
    trace(file, "  Initialized Main Method\n");

    env->CallStaticVoidMethod(g_main_class, g_main_method, static_cast<jobjectArray>(nullptr));
    Outcome outcome = Outcome::ok(Unit{});
    if (env->ExceptionCheck()) outcome = Outcome::err(uncaught_exception(env, file));
    // Returns when this is the VM's last non-daemon thread.
    destroy(vm);
    return outcome;
}

Outcome start(const char* jvm_path, const char* const* options, std::int32_t option_count, const char* main_class,
              const char* encrypt_class, std::FILE* file, Events events) {
    std::function<void()> created_event = events.created;
    const NativesRefused refused = events.natives_refused;
    set_events(std::move(events));
    trace(file, std::string("Initializing Java in CPP :  ") + shown(jvm_path) + "\n", Flush::Later);

    const auto created = create_vm(jvm_path, options, option_count, file);
    if (!created) {
        // The file stays open to the end of the process; every line is flushed.
        trace(file, "JVM not initialized. exiting!\n");
        if (file) {
            if (g_held_trace) std::fclose(g_held_trace);
            g_held_trace = file;
        }
        return failed(created.error());
    }
    if (created_event) created_event();
    Outcome outcome = run_main(created.value(), main_class, encrypt_class, file, refused);
    if (file) std::fclose(file);
    return outcome;
}

}  // namespace launcherwindows::java_start

extern "C" JNIEnv* initialize_vm(const char* jvm_path, JavaVM** vm, const char* const* options,
                                 std::int32_t option_count, std::FILE* file) {
    const auto created = launcherwindows::java_start::create_vm(jvm_path, options, option_count, file);
    if (!created) return nullptr;
    if (vm) *vm = created.value().vm;
    return created.value().env;
}

extern "C" std::int32_t initialize_java_methods(const char* main_class, const char* encrypt_class, JavaVM* vm,
                                                std::FILE* file) {
    // The environment of this thread, which created the VM.
    void* env = nullptr;
    if (vm && vm->GetEnv(&env, JNI_VERSION_1_8) != JNI_OK) env = nullptr;
    return status_of(launcherwindows::java_start::run_main({vm, static_cast<JNIEnv*>(env)}, main_class,
                                                           encrypt_class, file));
}

extern "C" std::int32_t initialize_java_app(const char* jvm_path, const char* const* options,
                                            std::int32_t option_count, const char* main_class,
                                            const char* encrypt_class) {
    using launcherwindows::working_log_file, launcherwindows::kJavaTraceFile;
    return status_of(launcherwindows::java_start::start(jvm_path, options, option_count, main_class, encrypt_class,
                                                        open_trace_file(working_log_file(kJavaTraceFile))));
}
