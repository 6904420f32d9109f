#pragma once
#include <string_view>
#include <utility>

#include "common/result.h"

namespace launcherwindows::init {

// A Java start's result, telling an application whose main threw from a
// start that failed (for the service's exit codes).
struct JavaStartResult {
    JavaStartResult(StartResult r, bool exception = false) : result(std::move(r)), uncaught_exception(exception) {}
    StartResult result;
    bool uncaught_exception;
};

// Starts a Java application in this process from its record text and returns
// when it has ended.
JavaStartResult start_java_app(std::string_view app_name, std::string_view record_text);

// The same, success or the error text only.
StartResult configure_and_start_java_app(std::string_view app_name, std::string_view record_text);

}  // namespace launcherwindows::init
