#include "init/records.h"

#include <utility>

#include "init/json_reader.h"
#include "text/quoted.h"

namespace launcherwindows::init {
namespace {

using json::FieldKind;

constexpr json::Field kJavaAppFields[] = {
    {"jvm_path", FieldKind::String},
    {"main_class", FieldKind::String},
    {"encrypt_class", FieldKind::String},
    {"options", FieldKind::StringList},
};

constexpr json::Field kDllAppFields[] = {
    {"dll_path", FieldKind::String},
    {"entry_point", FieldKind::String},
};

}  // namespace

std::string ParseError::to_string() const {
    return "Error(" + quoted_form(description) + ", line: " + std::to_string(line) +
           ", column: " + std::to_string(column) + ")";
}

Result<JavaApp, ParseError> read_java_app(std::string_view text) {
    auto values = json::read_record(text, {"JavaApp", kJavaAppFields});
    if (!values) return Result<JavaApp, ParseError>::err(std::move(values.error()));
    auto& v = values.value();
    return Result<JavaApp, ParseError>::ok(
        JavaApp{std::move(v[0].text), std::move(v[1].text), std::move(v[2].text), std::move(v[3].list)});
}

Result<DllApp, ParseError> read_dll_app(std::string_view text) {
    auto values = json::read_record(text, {"DllApp", kDllAppFields});
    if (!values) return Result<DllApp, ParseError>::err(std::move(values.error()));
    auto& v = values.value();
    return Result<DllApp, ParseError>::ok(DllApp{std::move(v[0].text), std::move(v[1].text)});
}

}  // namespace launcherwindows::init
