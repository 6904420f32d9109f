#include "java_start/java_exit.h"

#include <atomic>
#include <cstdlib>
#include <system_error>
#include <thread>

namespace launcherwindows::java_start {
namespace {

// Never freed: the runtime may call its hooks while the process ends.
std::atomic<Events*> g_events{nullptr};
std::atomic<JavaVM*> g_vm{nullptr};

// The runtime calls this instead of ending the process itself, on its own
// thread, once the shutdown hooks have run. Ending here, without exit
// handlers, keeps our static destructors from running beside the runtime's
// threads.
void JNICALL exit_hook(jint code) {
    if (const Events* events = g_events.load(std::memory_order_acquire); events && events->exiting) {
        events->exiting(code);
    }
    std::_Exit(code);
}

void JNICALL abort_hook() {
    if (const Events* events = g_events.load(std::memory_order_acquire); events && events->aborting) {
        events->aborting();
    }
}

// System.exit returns only when it was refused; the caller's time bound
// then decides.
void call_system_exit(JavaVM* vm, jint code) {
    JNIEnv* env = nullptr;
    JavaVMAttachArgs args{JNI_VERSION_1_8, const_cast<char*>("launcher exit request"), nullptr};
    if (vm->AttachCurrentThread(reinterpret_cast<void**>(&env), &args) != JNI_OK || !env) return;
    const jclass system = env->FindClass("java/lang/System");
    const jmethodID exit = system ? env->GetStaticMethodID(system, "exit", "(I)V") : nullptr;
    if (exit) env->CallStaticVoidMethod(system, exit, code);
    if (env->ExceptionCheck()) env->ExceptionDescribe();  // the refusal, on the runtime's error stream
    vm->DetachCurrentThread();
}

}  // namespace

void set_events(Events events) {
    delete g_events.exchange(new Events(std::move(events)), std::memory_order_acq_rel);
}

std::array<JavaVMOption, 2> hook_options() {
    return {JavaVMOption{const_cast<char*>("exit"), reinterpret_cast<void*>(&exit_hook)},
            JavaVMOption{const_cast<char*>("abort"), reinterpret_cast<void*>(&abort_hook)}};
}

void set_running_vm(JavaVM* vm) { g_vm.store(vm, std::memory_order_release); }

bool request_exit(std::int32_t code) {
    JavaVM* vm = g_vm.load(std::memory_order_acquire);
    if (!vm) return false;
    try {
        std::thread(call_system_exit, vm, static_cast<jint>(code)).detach();
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

}  // namespace launcherwindows::java_start
