// Both record readers on arbitrary text. What they accept must survive being
// written back as JSON and read again; what they refuse must say where.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "init/records.h"

namespace {

using namespace launcherwindows::init;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

std::string json_string(const std::string& s) {
    std::string out = "\"";
    for (const char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
            out += buf;
        } else {
            out += c;
        }
    }
    return out + '"';
}

bool has_nul(const std::string& s) { return s.find('\0') != std::string::npos; }

void check_error(const ParseError& e, std::string_view text) {
    if (e.description.empty()) fail("parse error without a description");
    if (e.line == 0) fail("parse error on line 0");
    if (e.line > 1 + static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'))) fail("line past the end");
    if (e.to_string().find("Error(\"") != 0) fail("error not in Error(\"...\") form");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const auto java = read_java_app(text);
    if (java.is_ok()) {
        const JavaApp& app = java.value();
        if (has_nul(app.jvm_path) || has_nul(app.main_class) || has_nul(app.encrypt_class)) fail("NUL in a field");
        std::string options;
        for (const auto& o : app.options) {
            if (has_nul(o)) fail("NUL in an option");
            options += (options.empty() ? "" : ",") + json_string(o);
        }
        const std::string again = "{\"options\": [" + options + "], \"encrypt_class\": " +
                                  json_string(app.encrypt_class) + ", \"main_class\": " + json_string(app.main_class) +
                                  ", \"jvm_path\": " + json_string(app.jvm_path) + "}";
        const auto reread = read_java_app(again);
        if (!reread.is_ok()) fail("a JavaApp written back is refused");
        const JavaApp& b = reread.value();
        if (b.jvm_path != app.jvm_path || b.main_class != app.main_class || b.encrypt_class != app.encrypt_class ||
            b.options != app.options)
            fail("a JavaApp written back reads differently");
    } else {
        check_error(java.error(), text);
    }

    const auto dll = read_dll_app(text);
    if (dll.is_ok()) {
        const DllApp& app = dll.value();
        if (has_nul(app.dll_path) || has_nul(app.entry_point)) fail("NUL in a DllApp field");
        const auto reread = read_dll_app("{\"entry_point\":" + json_string(app.entry_point) +
                                         ",\"dll_path\":" + json_string(app.dll_path) + "}");
        if (!reread.is_ok() || reread.value().dll_path != app.dll_path ||
            reread.value().entry_point != app.entry_point)
            fail("a DllApp written back reads differently");
    } else {
        check_error(dll.error(), text);
    }
    return 0;
}
