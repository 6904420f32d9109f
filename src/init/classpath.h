#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "common/result.h"

extern "C" {
// Entries in an application's class-path list: 0 for zentu, -1 for an unknown name.
std::int32_t getClassPathCount(const char* app_name);
// The list (static, read-only), or null for zentu and unknown names.
const char* const* getClassPaths(const char* app_name);
}

namespace launcherwindows::init {

// "-Djava.class.path=" and the entries joined with ";", or the error message
// that begins "error reading class path: ".
Result<std::string, std::string> build_class_path_option(std::string_view app_name);

namespace detail {
using ClassPathCountFn = std::int32_t (*)(const char*);
using ClassPathsFn = const char* const* (*)(const char*);
// The same from any pair of table functions: lets tests feed tables the build refuses.
Result<std::string, std::string> build_class_path_option(std::string_view app_name, ClassPathCountFn count_of,
                                                         ClassPathsFn paths_of);
}  // namespace detail

}  // namespace launcherwindows::init
