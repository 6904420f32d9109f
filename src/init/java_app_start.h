#pragma once
#include <string>
#include <string_view>

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

// Starts a Java application in this process from its record text and returns
// when it has ended.
JavaStartResult start_java_app(std::string_view app_name, std::string_view record_text);

// The same, success or the error text only.
StartResult configure_and_start_java_app(std::string_view app_name, std::string_view record_text);

}  // namespace launcherwindows::init
