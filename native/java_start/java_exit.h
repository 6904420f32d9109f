#pragma once
// How a Java application's process ends when the application ends it: the
// runtime's exit and abort hooks, which every VM of ours is given, and the
// request that ends a running VM the way System.exit does.
#include <jni.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace launcherwindows::java_start {

// The key-provider class refused the cipher natives, with the runtime's
// reason (its pending throwable's toString()); the start goes on to main.
using NativesRefused = std::function<void(const std::string& key_provider, const std::string& reason)>;

// What the host hears of the VM's life beyond the start's result; each may be
// empty. The hooks' calls come on a thread of the runtime.
struct Events {
    // The VM exists; on the starting thread, before the natives and main.
    std::function<void()> created;
    // On the starting thread, before main.
    NativesRefused natives_refused;
    // System.exit or Runtime.exit/halt ran the shutdown hooks and the runtime
    // ends the process: the process ends with the code once this returns,
    // with nothing else of ours run after it.
    std::function<void(std::int32_t code)> exiting;
    // The runtime aborts; it ends the process itself afterwards.
    std::function<void()> aborting;
};

// Makes these the events the hooks tell (the last call wins; one VM a process).
void set_events(Events events);

// The "exit" and "abort" options, each with its hook in extraInfo.
std::array<JavaVMOption, 2> hook_options();

// The VM that request_exit may ask, or null once it is destroyed.
void set_running_vm(JavaVM* vm);

// Asks the running VM to end as System.exit(code) does, from a new thread
// attached to it: its shutdown hooks run there, then the exit hook ends the
// process. False when no VM runs or no thread could be started. A runtime
// that refuses the exit (a SecurityManager) leaves the VM running.
bool request_exit(std::int32_t code);

}  // namespace launcherwindows::java_start
