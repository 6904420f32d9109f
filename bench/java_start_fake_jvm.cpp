// A JVM library whose JNI_CreateJavaVM returns at once with an environment
// that accepts the start's calls, and remembers when it was called.
#include <jni.h>

#include <chrono>
#include <cstdarg>
#include <cstdint>

// Defined by the benchmark program: a copy of this library loaded afresh for
// each start writes into the same place.
extern "C" std::int64_t java_start_bench_created_ns;

namespace {

int g_object = 0;
JNINativeInterface_ g_functions{};
JNIEnv g_env{};
JNIInvokeInterface_ g_invoke{};
JavaVM g_vm{};

jclass JNICALL find_class(JNIEnv*, const char*) { return reinterpret_cast<jclass>(&g_object); }
jint JNICALL register_natives(JNIEnv*, jclass, const JNINativeMethod*, jint) { return JNI_OK; }
jmethodID JNICALL get_static_method_id(JNIEnv*, jclass, const char*, const char*) {
    return reinterpret_cast<jmethodID>(&g_object);
}
void JNICALL call_static_void_method_v(JNIEnv*, jclass, jmethodID, va_list) {}
jboolean JNICALL exception_check(JNIEnv*) { return JNI_FALSE; }
jint JNICALL destroy_java_vm(JavaVM*) { return JNI_OK; }

}  // namespace

extern "C" JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM** vm, void** env, void*) {
    java_start_bench_created_ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                       std::chrono::steady_clock::now().time_since_epoch())
                       .count();
    g_functions.FindClass = &find_class;
    g_functions.RegisterNatives = &register_natives;
    g_functions.GetStaticMethodID = &get_static_method_id;
    g_functions.CallStaticVoidMethodV = &call_static_void_method_v;
    g_functions.ExceptionCheck = &exception_check;
    g_env.functions = &g_functions;
    g_invoke.DestroyJavaVM = &destroy_java_vm;
    g_vm.functions = &g_invoke;
    *vm = &g_vm;
    *env = &g_env;
    return JNI_OK;
}
