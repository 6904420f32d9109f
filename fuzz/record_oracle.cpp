#include "record_oracle.h"

#include <cstddef>
#include <nlohmann/json.hpp>
#include <set>
#include <vector>

#include "init/records.h"
#include "text/quoted.h"

namespace launcherwindows::fuzz {
namespace {

using nlohmann::json;

struct OracleResult {
    bool accepted = false;
    json value;
    // Keys of the top-level object, with repeats: the oracle keeps the last.
    std::vector<std::string> top_keys;
    std::size_t max_depth = 0;
    bool number_overflow = false;
};

OracleResult oracle_parse(std::string_view text) {
    OracleResult r;
    const json::parser_callback_t note = [&r](int depth, json::parse_event_t event, json& parsed) {
        const auto d = static_cast<std::size_t>(depth);
        if (d > r.max_depth) r.max_depth = d;
        if (event == json::parse_event_t::key && depth == 1) r.top_keys.push_back(parsed.get<std::string>());
        return true;
    };
    // Iterators, not a C string: a NUL byte must not end the text early.
    try {
        r.value = json::parse(text.begin(), text.end(), note);
        r.accepted = true;
    } catch (const json::exception& e) {
        r.number_overflow = e.id == 406;
    }
    return r;
}

bool has_nul(const std::string& s) { return s.find('\0') != std::string::npos; }

// The four JavaApp values if `v` holds them in either form, strings and an
// array of strings.
std::optional<init::JavaApp> expected_java_app(const json& v) {
    const json *jvm = nullptr, *main = nullptr, *encrypt = nullptr, *options = nullptr;
    if (v.is_object()) {
        if (!v.contains("jvm_path") || !v.contains("main_class") || !v.contains("encrypt_class") ||
            !v.contains("options"))
            return std::nullopt;
        jvm = &v["jvm_path"], main = &v["main_class"], encrypt = &v["encrypt_class"], options = &v["options"];
    } else if (v.is_array() && v.size() == 4) {
        jvm = &v[0], main = &v[1], encrypt = &v[2], options = &v[3];
    } else {
        return std::nullopt;
    }
    if (!jvm->is_string() || !main->is_string() || !encrypt->is_string() || !options->is_array()) return std::nullopt;
    init::JavaApp app{jvm->get<std::string>(), main->get<std::string>(), encrypt->get<std::string>(), {}};
    for (const auto& o : *options) {
        if (!o.is_string()) return std::nullopt;
        app.options.push_back(o.get<std::string>());
    }
    return app;
}

std::optional<init::DllApp> expected_dll_app(const json& v) {
    if (!v.is_object() || !v.contains("dll_path") || !v.contains("entry_point")) return std::nullopt;
    const json &dll = v["dll_path"], &entry = v["entry_point"];
    if (!dll.is_string() || !entry.is_string()) return std::nullopt;
    return init::DllApp{dll.get<std::string>(), entry.get<std::string>()};
}

bool repeats_any(const std::vector<std::string>& keys, std::initializer_list<std::string_view> known) {
    std::set<std::string> seen;
    for (const auto& k : keys) {
        bool is_known = false;
        for (const auto kk : known) is_known = is_known || k == kk;
        if (is_known && !seen.insert(k).second) return true;
    }
    return false;
}

}  // namespace

std::optional<std::string> record_reader_mismatch(std::string_view text) {
    // The oracle skips a leading byte-order mark; a record text never has one
    // and ours reads it as the stray character it is.
    if (text.starts_with("\xEF\xBB\xBF")) return std::nullopt;

    const auto java = init::read_java_app(text);
    const auto dll = init::read_dll_app(text);

    // The oracle ends the text at a NUL byte and accepts what came before it.
    // A raw NUL is never JSON, so ours must refuse every such text.
    if (text.find('\0') != std::string_view::npos) {
        if (java.is_ok() || dll.is_ok()) return "record read from text with a raw NUL byte";
        return std::nullopt;
    }

    const OracleResult oracle = oracle_parse(text);

    if (!oracle.accepted) {
        // A number beyond a double is JSON all the same; ours skips it unread.
        if (oracle.number_overflow) return std::nullopt;
        // Not JSON (the oracle also refuses invalid UTF-8 and lone surrogate
        // escapes): ours must not make a record of it.
        if (java.is_ok()) return "JavaApp read from text the oracle rejects";
        if (dll.is_ok()) return "DllApp read from text the oracle rejects";
        return std::nullopt;
    }

    // Ours bounds the nesting of skipped values; the oracle does not.
    if (oracle.max_depth > 120) return std::nullopt;

    if (const auto want = expected_java_app(oracle.value)) {
        // Ours refuses a repeated known key (the oracle keeps the last) and a
        // NUL in a value, which cannot be held as a NUL-terminated string.
        bool excluded = repeats_any(oracle.top_keys, {"jvm_path", "main_class", "encrypt_class", "options"}) ||
                        has_nul(want->jvm_path) || has_nul(want->main_class) || has_nul(want->encrypt_class);
        for (const auto& o : want->options) excluded = excluded || has_nul(o);
        if (!excluded) {
            if (!java.is_ok()) return "JavaApp rejected: " + java.error().to_string();
            const auto& got = java.value();
            if (got.jvm_path != want->jvm_path || got.main_class != want->main_class ||
                got.encrypt_class != want->encrypt_class || got.options != want->options)
                return "JavaApp values differ, jvm_path " + quoted_form(got.jvm_path);
        }
    }
    if (const auto want = expected_dll_app(oracle.value)) {
        const bool excluded = repeats_any(oracle.top_keys, {"dll_path", "entry_point"}) ||
                              has_nul(want->dll_path) || has_nul(want->entry_point);
        if (!excluded) {
            if (!dll.is_ok()) return "DllApp rejected: " + dll.error().to_string();
            if (dll.value().dll_path != want->dll_path || dll.value().entry_point != want->entry_point)
                return "DllApp values differ, dll_path " + quoted_form(dll.value().dll_path);
        }
    }
    return std::nullopt;
}

}  // namespace launcherwindows::fuzz
