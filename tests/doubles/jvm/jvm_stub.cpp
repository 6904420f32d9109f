// A stand-in jvm.dll for the Wine tests: records what the launcher asks of a
// JVM (options, class and method look-ups, the main call, the natives, every
// JNI call made while an exception is pending) in a text file and plays the
// part of the Java side as configured. Like a Java 8 runtime's, it imports
// its C runtime (crtdouble.dll) from jre\bin and at creation loads a library
// from there by full path (javadouble.dll). Its System.exit runs the
// "shutdown hooks" on the calling thread, then calls the exit hook from a
// thread of its own and ends the process if the hook returns.
#define _JNI_IMPLEMENTATION_
#include <jni.h>
#include <windows.h>

#include <array>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "stub_support.h"

extern "C" __declspec(dllimport) int crtdouble_part();
extern "C" __declspec(dllimport) void crtdouble_write(int descriptor, const char* text);

using namespace jvm_stub;

namespace {

// ---- objects ------------------------------------------------------------

struct Object {
    enum class Kind { Class, Throwable, DirectBuffer, ByteArray, String, Writer, Printer } kind;
    std::string name;  // class name, the throwable's class and message, a string's or writer's text
    unsigned char* address = nullptr;
    jlong capacity = 0;
    std::vector<jbyte> bytes;
};

struct Method {
    std::string class_name, name, signature;
};

struct Native {
    std::string signature;
    void* function = nullptr;
};

std::deque<Object> g_objects;  // never freed: the process is short
std::deque<Method> g_methods;
std::map<std::string, Native> g_natives;
CRITICAL_SECTION g_objects_lock;  // the exit request comes on a thread of its own
Object* g_pending = nullptr;
Object* g_printer_target = nullptr;  // the StringWriter of the last PrintWriter
int g_launcher_find_class_calls = 0;
bool g_main_started = false;
Config g_config;
using ExitHook = void(JNICALL*)(jint);
using AbortHook = void(JNICALL*)();
ExitHook g_exit_hook = nullptr;
AbortHook g_abort_hook = nullptr;
DWORD g_main_thread = 0;
std::vector<DWORD> g_attached;  // threads attached with AttachCurrentThread

Object* make(Object::Kind kind, std::string name) {
    EnterCriticalSection(&g_objects_lock);
    g_objects.push_back(Object{kind, std::move(name), nullptr, 0, {}});
    Object* made = &g_objects.back();
    LeaveCriticalSection(&g_objects_lock);
    return made;
}

Object* as_object(jobject o) { return reinterpret_cast<Object*>(o); }
jobject as_jobject(Object* o) { return reinterpret_cast<jobject>(o); }

void throw_pending(const std::string& what) { g_pending = make(Object::Kind::Throwable, what); }

// JNI forbids a call with an exception pending, but for the calls that handle
// it (the Exception* functions and releases): each other function records one.
void entered(const char* function) {
    if (g_pending) record(std::string("JNI call with an exception pending: ") + function);
}

// ---- JNI functions ------------------------------------------------------

jclass JNICALL find_class(JNIEnv*, const char* name) {
    entered("FindClass");
    record(std::string("FindClass=") + name);
    // Before main the launcher looks up the key-provider class, then the main class.
    if (!g_main_started && std::string(name) != "java/lang/System") {
        ++g_launcher_find_class_calls;
        const std::string missing = g_config.get("missing", "");
        if ((missing == "encrypt_class" && g_launcher_find_class_calls == 1) ||
            (missing == "main_class" && g_launcher_find_class_calls == 2)) {
            throw_pending(std::string("java.lang.NoClassDefFoundError: ") + name);
            return nullptr;
        }
    }
    return reinterpret_cast<jclass>(make(Object::Kind::Class, name));
}

jint JNICALL register_natives(JNIEnv*, jclass cls, const JNINativeMethod* methods, jint count) {
    entered("RegisterNatives");
    const std::string class_name = as_object(cls)->name;
    std::string line = "RegisterNatives=" + class_name + " count=" + std::to_string(count);
    for (jint i = 0; i < count; ++i) line += std::string(" ") + methods[i].name + methods[i].signature;
    record(line);
    // "natives=refuse": the class declares the key native otherwise, as a
    // real runtime reports it.
    if (g_config.get("natives", "") == "refuse") {
        std::string dotted = class_name;
        for (char& c : dotted) c = c == '/' ? '.' : c;
        throw_pending("java.lang.NoSuchMethodError: Method 'byte[] " + dotted +
                      ".externGetEncryptedDistributionKey()' name or signature does not match");
        return JNI_ERR;
    }
    for (jint i = 0; i < count; ++i) g_natives[methods[i].name] = Native{methods[i].signature, methods[i].fnPtr};
    return JNI_OK;
}

jmethodID JNICALL get_static_method_id(JNIEnv*, jclass cls, const char* name, const char* signature) {
    entered("GetStaticMethodID");
    const std::string class_name = as_object(cls)->name;
    record("GetStaticMethodID=" + class_name + "." + name + signature);
    if (g_config.get("missing", "") == "main_method" && std::string(name) == "main") {
        throw_pending(std::string("java.lang.NoSuchMethodError: ") + name);
        return nullptr;
    }
    g_methods.push_back(Method{class_name, name, signature});
    return reinterpret_cast<jmethodID>(&g_methods.back());
}

jboolean JNICALL exception_check(JNIEnv*) {
    record(std::string("ExceptionCheck=") + (g_pending ? "1" : "0"));
    return g_pending ? JNI_TRUE : JNI_FALSE;
}

void JNICALL exception_describe(JNIEnv*) {
    record("ExceptionDescribe");
    if (g_pending) {
        std::fprintf(stderr, "Exception in thread \"main\" %s\n", g_pending->name.c_str());
        std::fflush(stderr);
    }
    g_pending = nullptr;
}

jthrowable JNICALL exception_occurred(JNIEnv*) { return reinterpret_cast<jthrowable>(g_pending); }
void JNICALL exception_clear(JNIEnv*) { g_pending = nullptr; }

// What the launcher may ask of a throwable: its class, toString() and
// printStackTrace(PrintWriter) into a StringWriter, whose toString() it reads.
jclass JNICALL get_object_class(JNIEnv*, jobject o) {
    entered("GetObjectClass");
    const Object* object = as_object(o);
    std::string name = object->kind == Object::Kind::Throwable ? object->name.substr(0, object->name.find(':'))
                                                                : object->name;
    for (char& c : name) c = c == '.' ? '/' : c;
    return reinterpret_cast<jclass>(make(Object::Kind::Class, name));
}

jmethodID JNICALL get_method_id(JNIEnv*, jclass cls, const char* name, const char* signature) {
    entered("GetMethodID");
    g_methods.push_back(Method{as_object(cls)->name, name, signature});
    return reinterpret_cast<jmethodID>(&g_methods.back());
}

jobject JNICALL new_object_v(JNIEnv*, jclass cls, jmethodID, va_list args) {
    entered("NewObjectV");
    if (as_object(cls)->name == "java/io/PrintWriter") {
        g_printer_target = as_object(va_arg(args, jobject));
        return as_jobject(make(Object::Kind::Printer, ""));
    }
    return as_jobject(make(Object::Kind::Writer, ""));
}

jobject JNICALL call_object_method_v(JNIEnv*, jobject o, jmethodID, va_list) {
    entered("CallObjectMethodV");
    return as_jobject(make(Object::Kind::String, as_object(o)->name));
}

// printStackTrace, the way a Windows JVM ends its lines.
void JNICALL call_void_method_v(JNIEnv*, jobject o, jmethodID, va_list) {
    entered("CallVoidMethodV");
    if (g_printer_target) g_printer_target->name += as_object(o)->name + "\r\n\tat stub.Main.main(Main.java:1)\r\n";
}

const char* JNICALL get_string_utf_chars(JNIEnv*, jstring s, jboolean* copy) {
    entered("GetStringUTFChars");
    if (copy) *copy = JNI_FALSE;
    return as_object(s)->name.c_str();
}
void JNICALL release_string_utf_chars(JNIEnv*, jstring, const char*) {}

jint JNICALL throw_new(JNIEnv*, jclass cls, const char* message) {
    entered("ThrowNew");
    throw_pending(as_object(cls)->name + ": " + (message ? message : ""));
    return 0;
}

jbyteArray JNICALL new_byte_array(JNIEnv*, jsize length) {
    entered("NewByteArray");
    Object* a = make(Object::Kind::ByteArray, "[B");
    a->bytes.assign(static_cast<std::size_t>(length), 0);
    return reinterpret_cast<jbyteArray>(a);
}

void JNICALL set_byte_array_region(JNIEnv*, jbyteArray array, jsize start, jsize length, const jbyte* bytes) {
    entered("SetByteArrayRegion");
    Object* a = as_object(array);
    for (jsize i = 0; i < length; ++i) a->bytes.at(static_cast<std::size_t>(start + i)) = bytes[i];
}

jsize JNICALL get_array_length(JNIEnv*, jarray array) {
    entered("GetArrayLength");
    return static_cast<jsize>(as_object(array)->bytes.size());
}

jobject JNICALL new_direct_byte_buffer(JNIEnv*, void* address, jlong capacity) {
    Object* b = make(Object::Kind::DirectBuffer, "java/nio/DirectByteBuffer");
    b->address = static_cast<unsigned char*>(address);
    b->capacity = capacity;
    return as_jobject(b);
}

void* JNICALL get_direct_buffer_address(JNIEnv*, jobject buffer) {
    entered("GetDirectBufferAddress");
    Object* b = as_object(buffer);
    return b && b->kind == Object::Kind::DirectBuffer ? b->address : nullptr;
}

jlong JNICALL get_direct_buffer_capacity(JNIEnv*, jobject buffer) {
    entered("GetDirectBufferCapacity");
    Object* b = as_object(buffer);
    return b && b->kind == Object::Kind::DirectBuffer ? b->capacity : -1;
}

JNIEnv g_env_object;
JNINativeInterface_ g_functions;
JavaVM g_vm_object;
JNIInvokeInterface_ g_invoke;

// ---- main ---------------------------------------------------------------

using BufferNative = jbyteArray(JNICALL*)(JNIEnv*, jclass, jobject, jobject);
using KeyNative = jbyteArray(JNICALL*)(JNIEnv*, jclass);

std::string result_text(jbyteArray result) {
    std::string text = " out=";
    if (!result) {
        text += "null";
    } else {
        const Object* a = as_object(result);
        text += hex(reinterpret_cast<const unsigned char*>(a->bytes.data()), a->bytes.size());
    }
    if (g_pending) {
        text += " exception=" + g_pending->name;
        g_pending = nullptr;
    }
    return text;
}

std::vector<unsigned char> call_buffer_native(const char* name, jclass receiver, std::vector<unsigned char> iv,
                                              std::vector<unsigned char> data) {
    const auto it = g_natives.find(name);
    if (it == g_natives.end()) {
        record(std::string("native ") + name + " not registered");
        return {};
    }
    auto function = reinterpret_cast<BufferNative>(it->second.function);
    jbyteArray result = function(&g_env_object, receiver, new_direct_byte_buffer(nullptr, iv.data(), 16),
                                 new_direct_byte_buffer(nullptr, data.data(), static_cast<jlong>(data.size())));
    record(std::string("native ") + name + " iv=" + hex(iv.data(), iv.size()) + " in=" + hex(data.data(), data.size()) +
           result_text(result));
    if (!result) return {};
    const Object* a = as_object(result);
    return std::vector<unsigned char>(a->bytes.begin(), a->bytes.end());
}

void call_key_native(jclass receiver) {
    const char* name = "externGetEncryptedDistributionKey";
    const auto it = g_natives.find(name);
    if (it == g_natives.end()) {
        record(std::string("native ") + name + " not registered");
        return;
    }
    jbyteArray result = reinterpret_cast<KeyNative>(it->second.function)(&g_env_object, receiver);
    record(std::string("native ") + name + result_text(result));
}

// What the natives mode of main does with the registered cipher natives.
void run_natives(jclass receiver) {
    std::vector<unsigned char> iv(16);
    for (std::size_t i = 0; i < iv.size(); ++i) iv[i] = static_cast<unsigned char>(0xA0 + i);
    std::vector<unsigned char> plain(4096);
    for (std::size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<unsigned char>((i * 7 + 3) & 0xFF);
    const std::vector<unsigned char> cipher = call_buffer_native("externEncrypt", receiver, iv, plain);
    call_buffer_native("externDecrypt", receiver, iv, cipher);
    call_buffer_native("externEncrypt", receiver, iv, std::vector<unsigned char>(plain.begin(), plain.begin() + 20));
    call_key_native(receiver);
    call_key_native(receiver);
}

// What a Java runtime prints: its C runtime's streams, taken over when it was
// loaded, and System.out and System.err, which write to the standard handles.
void print_to_both_streams() {
    crtdouble_write(1, "runtime: standard output\n");
    crtdouble_write(2, "runtime: standard error\n");
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "System.out\n", 11, &written, nullptr);
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), "System.err\n", 11, &written, nullptr);
}

std::string caller() {
    const DWORD self = GetCurrentThreadId();
    if (self == g_main_thread) return "main";
    for (const DWORD t : g_attached) {
        if (t == self) return "attached";
    }
    return "unattached";
}

DWORD WINAPI call_exit_hook(LPVOID code_value) {
    const jint code = static_cast<jint>(reinterpret_cast<std::intptr_t>(code_value));
    if (g_exit_hook) {
        record("exit hook called with " + std::to_string(code));
        g_exit_hook(code);
        record("exit hook returned");
    }
    ExitProcess(static_cast<UINT>(code));
}

// Runtime.exit: the shutdown hooks ("hooks": milliseconds they take, or
// "hang") on the calling thread, then the exit hook on a thread of the
// runtime; never returns, unless refused ("exit=refuse", a SecurityManager).
void runtime_exit(jint code) {
    record("System.exit(" + std::to_string(code) + ") from " + caller());
    if (g_config.get("exit", "") == "refuse") {
        throw_pending("java.lang.SecurityException: exit refused by the stub's security manager");
        return;
    }
    const std::string hooks = g_config.get("hooks", "");
    if (!hooks.empty()) {
        record("shutdown hooks started");
        if (hooks == "hang") Sleep(INFINITE);
        Sleep(static_cast<DWORD>(std::stoul(hooks)));
        record("shutdown hooks ended");
    }
    const HANDLE thread =
        CreateThread(nullptr, 0, call_exit_hook, reinterpret_cast<LPVOID>(static_cast<std::intptr_t>(code)), 0, nullptr);
    if (!thread) ExitProcess(static_cast<UINT>(code));
    for (;;) Sleep(INFINITE);
}

// What the runtime does when it aborts: the abort hook, then the end.
[[noreturn]] void runtime_abort() {
    record("abort");
    if (g_abort_hook) {
        g_abort_hook();
        record("abort hook returned");
    }
    ExitProcess(1);
}

void run_main(jclass cls, va_list args) {
    g_main_started = true;
    jobject arguments = va_arg(args, jobject);
    record(std::string("main called args=") + (arguments ? "<non-null>" : "null"));
    if (!g_config.get("print", "").empty()) print_to_both_streams();
    const std::string mode = g_config.get("main", "return");
    if (mode == "throw") {
        throw_pending("java.lang.IllegalStateException: thrown by the stub's main");
    } else if (mode == "block") {
        for (;;) Sleep(INFINITE);
    } else if (mode.rfind("wait_file:", 0) == 0) {
        const std::wstring path = widen(mode.substr(10));
        while (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) Sleep(20);
    } else if (mode.rfind("exit:", 0) == 0) {
        runtime_exit(static_cast<jint>(std::stol(mode.substr(5))));
    } else if (mode == "abort") {
        runtime_abort();
    } else if (mode == "natives") {
        // The natives ignore their receiver; any class object will do.
        run_natives(cls);
    }
    record("main returned");
}

void call_static(jclass cls, jmethodID method, va_list args) {
    const Method* m = reinterpret_cast<const Method*>(method);
    if (m->class_name == "java/lang/System" && m->name == "exit") {
        runtime_exit(va_arg(args, jint));
    } else {
        run_main(cls, args);
    }
}

void JNICALL call_static_void_method_v(JNIEnv*, jclass cls, jmethodID method, va_list args) {
    entered("CallStaticVoidMethodV");
    call_static(cls, method, args);
}

void JNICALL call_static_void_method(JNIEnv*, jclass cls, jmethodID method, ...) {
    entered("CallStaticVoidMethod");
    va_list args;
    va_start(args, method);
    call_static(cls, method, args);
    va_end(args);
}

jint JNICALL destroy_java_vm(JavaVM*) {
    record("DestroyJavaVM");
    return JNI_OK;
}

jint JNICALL get_env(JavaVM*, void** env, jint) {
    *env = &g_env_object;
    return JNI_OK;
}

jint JNICALL attach_current_thread(JavaVM*, void** env, void* arguments) {
    const auto* a = static_cast<const JavaVMAttachArgs*>(arguments);
    record(std::string("AttachCurrentThread name=") + (a && a->name ? a->name : "(null)"));
    g_attached.push_back(GetCurrentThreadId());
    *env = &g_env_object;
    return JNI_OK;
}

jint JNICALL detach_current_thread(JavaVM*) {
    record("DetachCurrentThread");
    return JNI_OK;
}

void set_up_tables() {
    fill_with_traps(g_functions, "JNIEnv");
    g_functions.FindClass = &find_class;
    g_functions.RegisterNatives = &register_natives;
    g_functions.GetStaticMethodID = &get_static_method_id;
    g_functions.CallStaticVoidMethod = &call_static_void_method;
    g_functions.CallStaticVoidMethodV = &call_static_void_method_v;
    g_functions.ExceptionCheck = &exception_check;
    g_functions.ExceptionDescribe = &exception_describe;
    g_functions.ExceptionOccurred = &exception_occurred;
    g_functions.ExceptionClear = &exception_clear;
    g_functions.ThrowNew = &throw_new;
    g_functions.GetObjectClass = &get_object_class;
    g_functions.GetMethodID = &get_method_id;
    g_functions.NewObjectV = &new_object_v;
    g_functions.CallObjectMethodV = &call_object_method_v;
    g_functions.CallVoidMethodV = &call_void_method_v;
    g_functions.GetStringUTFChars = &get_string_utf_chars;
    g_functions.ReleaseStringUTFChars = &release_string_utf_chars;
    g_functions.NewByteArray = &new_byte_array;
    g_functions.SetByteArrayRegion = &set_byte_array_region;
    g_functions.GetArrayLength = &get_array_length;
    g_functions.NewDirectByteBuffer = &new_direct_byte_buffer;
    g_functions.GetDirectBufferAddress = &get_direct_buffer_address;
    g_functions.GetDirectBufferCapacity = &get_direct_buffer_capacity;
    g_env_object.functions = &g_functions;

    fill_with_traps(g_invoke, "JavaVM");
    g_invoke.DestroyJavaVM = &destroy_java_vm;
    g_invoke.GetEnv = &get_env;
    g_invoke.AttachCurrentThread = &attach_current_thread;
    g_invoke.DetachCurrentThread = &detach_current_thread;
    g_vm_object.functions = &g_invoke;
}

std::string hex32(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(value));
    return text;
}

std::string module_path(HMODULE module) {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size())));
    return narrow(path);
}

// "library <name>=<the file that was loaded>", or "library <name> failed <code>".
bool record_load(const std::string& name, const std::wstring& path) {
    const HMODULE module = LoadLibraryW(path.c_str());
    if (!module) {
        record("library " + name + " failed " + std::to_string(GetLastError()));
        return false;
    }
    record("library " + name + "=" + module_path(module));
    return true;
}

// The runtime's libraries: where the loader found them.
bool load_runtime_libraries(const std::wstring& folder) {
    (void)crtdouble_part();  // keeps the import
    record("library crtdouble.dll=" + module_path(GetModuleHandleW(L"crtdouble.dll")));
    const std::wstring bin = folder.substr(0, folder.find_last_of(L"\\/"));
    if (!record_load("javadouble.dll", bin + L"\\javadouble.dll")) return false;
    record("library verifydouble.dll=" + module_path(GetModuleHandleW(L"verifydouble.dll")));
    // A bare name, as the server's own native libraries are loaded.
    const std::string extra = g_config.get("load", "");
    return extra.empty() || record_load(extra, widen(extra));
}

}  // namespace

extern "C" JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM** vm, void** env, void* arguments) {
    const std::wstring folder = dll_folder();
    g_config = read_config(folder);
    InitializeCriticalSection(&g_objects_lock);
    g_main_thread = GetCurrentThreadId();
    const std::string record_path = g_config.get("record", narrow(folder) + "\\jvm_stub_record.txt");
    open_record(record_path);

    const auto* args = static_cast<const JavaVMInitArgs*>(arguments);
    if (!args) {
        record("create without arguments");
        return JNI_EINVAL;
    }
    record("create version=" + hex32(static_cast<std::uint32_t>(args->version)) +
           " nOptions=" + std::to_string(args->nOptions) +
           " ignoreUnrecognized=" + (args->ignoreUnrecognized ? "1" : "0"));
    for (jint i = 0; i < args->nOptions; ++i) {
        const JavaVMOption& o = args->options[i];
        const std::string text = o.optionString ? o.optionString : "(null)";
        // As HotSpot: "exit" and "abort" take their hook from extraInfo.
        if (text == "exit") g_exit_hook = reinterpret_cast<ExitHook>(o.extraInfo);
        if (text == "abort") g_abort_hook = reinterpret_cast<AbortHook>(o.extraInfo);
        record("option[" + std::to_string(i) + "]=" + text + (o.extraInfo ? " extraInfo=set" : ""));
    }

    std::wstring cwd(32768, L'\0');
    cwd.resize(GetCurrentDirectoryW(static_cast<DWORD>(cwd.size()), cwd.data()));
    record("cwd=" + narrow(cwd));
    record("env.L1_HOME=" + environment(L"L1_HOME"));
    record("env.PATH=" + environment(L"PATH"));
    record("env.LD_LIBRARY_PATH=" + environment(L"LD_LIBRARY_PATH"));
    // A real runtime fails its creation without them.
    if (!load_runtime_libraries(folder)) return JNI_ERR;

    // "fail", or the code to return, such as -6 (JNI_EINVAL).
    const std::string create = g_config.get("create", "");
    if (create == "fail") return JNI_ERR;
    if (!create.empty()) return static_cast<jint>(std::stol(create));
    set_up_tables();
    *vm = &g_vm_object;
    *env = &g_env_object;
    return JNI_OK;
}
