// The native Java start: its trace file, the JVM library, the VM and main.
#include "java_start.h"

#include <string>
#include <string_view>
#include <vector>

#include "dynamic_loader.h"
#include "jni_natives.h"

namespace {

#ifdef _WIN32
constexpr const char* kTracePath = ".\\launcher-logs\\launcher-cpp.log";
#else
constexpr const char* kTracePath = "./launcher-logs/launcher-cpp.log";
#endif

constexpr const char* kMainName = "main";
constexpr const char* kMainSignature = "([Ljava/lang/String;)V";

// The process's JNI state, held to the end of the process.
JNIEnv* g_env = nullptr;
jclass g_key_provider = nullptr;
jclass g_main_class = nullptr;
jmethodID g_main_method = nullptr;
// The trace of a start that failed before the VM existed stays open.
std::FILE* g_held_trace = nullptr;

using CreateJavaVmFn = jint(JNICALL*)(JavaVM**, void**, void*);

const char* shown(const char* text) { return text ? text : "(null)"; }

// The trace must be in the file before every call out to the loader or the
// JVM, which may end the process (a crash, a kill of a server whose main never
// returns). Only the lines before the library load and before the creation are
// gathered into one write each: syscalls are most of the start's own cost.
enum class Flush { Now, Later };
void trace(std::FILE* file, std::string_view text, Flush flush = Flush::Now) {
    if (!file) return;
    std::fwrite(text.data(), 1, text.size(), file);
    if (flush == Flush::Now) std::fflush(file);
}

std::int32_t fail_after_lookup(JNIEnv* env, JavaVM* vm) {
    env->ExceptionDescribe();
    vm->DestroyJavaVM();
    return kJavaStartFailed;
}

}  // namespace

extern "C" JNIEnv* initialize_vm(const char* jvm_path, JavaVM** vm, const char* const* options,
                                 std::int32_t option_count, std::FILE* file) {
    std::vector<JavaVMOption> vm_options;
    const std::int32_t count = (options && option_count > 0) ? option_count : 0;
    vm_options.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        // The JVM reads the option strings only.
        vm_options.push_back(JavaVMOption{const_cast<char*>(options[i]), nullptr});
    }
    trace(file, "initialized all java options", Flush::Later);

    JavaVMInitArgs args{};
    args.version = JNI_VERSION_1_8;
    args.nOptions = static_cast<jint>(count);
    args.options = vm_options.data();
    args.ignoreUnrecognized = JNI_FALSE;

    trace(file, "before initializing handle with dlopen");
    // Never closed: the VM lives in it until the process ends.
    void* library = jvm_path ? dlopen(jvm_path, kLauncherLoadMode) : nullptr;
    if (!library) {
        trace(file, std::string("Unable to load JVM at ") + shown(jvm_path) + ", exiting\n");
        return nullptr;
    }
    trace(file, std::string("Loaded JVM from ") + jvm_path + "\n", Flush::Later);
    trace(file, "after dlopen\n", Flush::Later);

    auto create = reinterpret_cast<CreateJavaVmFn>(dlsym(library, "JNI_CreateJavaVM"));
    trace(file, "after dlsym\n");
    JavaVM* created_vm = nullptr;
    g_env = nullptr;
    jint result = JNI_ERR;
    if (create) {
        result = create(&created_vm, reinterpret_cast<void**>(&g_env), &args);
        trace(file, "after createjavavm\n");
    }
    // A library without the entry point counts as a failed creation.
    if (result < 0 || !g_env || !created_vm) {
        trace(file, "Unable to Launch JVM " + std::to_string(result) + "\n");
        g_env = nullptr;
        return nullptr;
    }
    trace(file, "Launched JVM\n");
    if (vm) *vm = created_vm;
    return g_env;
}

extern "C" std::int32_t initialize_java_methods(const char* main_class, const char* encrypt_class, JavaVM* vm,
                                                std::FILE* file) {
    JNIEnv* env = g_env;
    if (!env || !vm || !main_class || !encrypt_class) return kJavaStartFailed;

    trace(file, "before findclass\n");
    g_key_provider = env->FindClass(encrypt_class);
    if (!g_key_provider) {
        trace(file, std::string("Sorry - could not find class ") + encrypt_class + "\n");
        return fail_after_lookup(env, vm);
    }
    trace(file, "after findclass\n");
    // A refused registration shows up as an UnsatisfiedLinkError in Java.
    (void)env->RegisterNatives(g_key_provider, cipher_native_methods(), kCipherNativeCount);
    trace(file, "  RegisterNatives\n");

    g_main_class = env->FindClass(main_class);
    if (!g_main_class) {
        trace(file, std::string("Sorry - could not find class ") + main_class + "\n");
        return fail_after_lookup(env, vm);
    }
    g_main_method = env->GetStaticMethodID(g_main_class, kMainName, kMainSignature);
    if (!g_main_method) {
        trace(file, std::string("Sorry - could not find main method in class ") + main_class + "\n");
        return fail_after_lookup(env, vm);
    }
    trace(file, "  Initialized Main Method\n");

    env->CallStaticVoidMethod(g_main_class, g_main_method, static_cast<jobjectArray>(nullptr));
    std::int32_t status = kJavaStartOk;
    if (env->ExceptionCheck()) {
        env->ExceptionDescribe();
        status = kJavaStartUncaughtException;
    }
    // Returns when this is the VM's last non-daemon thread.
    vm->DestroyJavaVM();
    return status;
}

extern "C" std::int32_t initialize_java_app(const char* jvm_path, const char* const* options,
                                            std::int32_t option_count, const char* main_class,
                                            const char* encrypt_class) {
    // "w+": each start replaces the previous trace.
    std::FILE* file = std::fopen(kTracePath, "w+");
    trace(file, std::string("Initializing Java in CPP :  ") + shown(jvm_path) + "\n", Flush::Later);

    JavaVM* vm = nullptr;
    JNIEnv* env = initialize_vm(jvm_path, &vm, options, option_count, file);
    if (!env) {
        // The file stays open to the end of the process; every line is flushed.
        trace(file, "JVM not initialized. exiting!\n");
        if (file) {
            if (g_held_trace) std::fclose(g_held_trace);
            g_held_trace = file;
        }
        return kJavaStartFailed;
    }
    const std::int32_t status = initialize_java_methods(main_class, encrypt_class, vm, file);
    if (file) std::fclose(file);
    return status;
}
