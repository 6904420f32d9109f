// Placeholder until the record reader and class-path tables land.
#include "classpath.h"
#include "records.h"

namespace launcherwindows::init {

std::string ParseError::to_string() const {
    return "Error(\"" + description + "\", line: " + std::to_string(line) + ", column: " + std::to_string(column) + ")";
}
Result<JavaApp, ParseError> read_java_app(std::string_view) {
    return Result<JavaApp, ParseError>::err({"not built yet", 1, 0});
}
Result<DllApp, ParseError> read_dll_app(std::string_view) {
    return Result<DllApp, ParseError>::err({"not built yet", 1, 0});
}
Result<std::string, std::string> build_class_path_option(std::string_view) {
    return Result<std::string, std::string>::err("error reading class path: \"not built yet\"");
}

}  // namespace launcherwindows::init

extern "C" std::int32_t getClassPathCount(const char*) { return -1; }
extern "C" const char* const* getClassPaths(const char*) { return nullptr; }
