#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"

namespace launcherwindows::init {

// Why a Java start did not end with main's normal return: the error text,
// and whether main ended with an uncaught exception (else the start failed;
// the service's exit codes tell the two apart).
struct JavaStartError {
    std::string text;
    bool uncaught_exception = false;
};
using JavaStartResult = Result<Unit, JavaStartError>;
inline JavaStartResult java_start_ok() { return JavaStartResult::ok(Unit{}); }
inline JavaStartResult java_start_failed(std::string text) { return JavaStartResult::err({std::move(text), false}); }
inline JavaStartResult java_uncaught_exception(std::string text) {
    return JavaStartResult::err({std::move(text), true});
}

// What a host hears of its Java application beyond the start's result; each
// may be empty.
struct JavaEvents {
    // The VM exists (on the starting thread).
    std::function<void()> created;
    // The application ended the process with System.exit(code): called after
    // its record, on a thread of the runtime; the process ends with the code
    // once it returns.
    std::function<void(std::int32_t code)> exiting;
};

// Starts a Java application in this process from its record text and returns
// when it has ended (unless it ends the process itself).
JavaStartResult start_java_app(std::string_view app_name, std::string_view record_text, JavaEvents events = {});

// Makes the folder that the last -XX:HeapDumpPath= option names (and the
// folders above it, under the working directory for a relative path) when no
// such path exists: the runtime writes its heap dump into an existing folder
// as java_pid<pid>.hprof, and otherwise into a file of that name. Why not,
// when it cannot be made.
Result<Unit, std::string> make_heap_dump_folder(const std::vector<std::string>& options);

// Asks the running Java application to end as System.exit(code) does, from a
// thread of its own; false when none runs.
bool request_java_exit(std::int32_t code);

// The same, success or the error text only.
StartResult configure_and_start_java_app(std::string_view app_name, std::string_view record_text);

}  // namespace launcherwindows::init
