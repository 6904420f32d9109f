#pragma once
// The application records and their reader.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"

namespace launcherwindows::init {

struct JavaApp {
    std::string jvm_path;
    std::string main_class;
    std::string encrypt_class;
    std::vector<std::string> options;
};

struct DllApp {
    std::string dll_path;
    std::string entry_point;
};

struct ParseError {
    std::string description;
    std::size_t line = 0;
    std::size_t column = 0;
    // Error("<description>", line: <line>, column: <column>)
    std::string to_string() const;
};

Result<JavaApp, ParseError> read_java_app(std::string_view text);
Result<DllApp, ParseError> read_dll_app(std::string_view text);

}  // namespace launcherwindows::init
