// The class-path option for any name agrees with what getClassPathCount and
// getClassPaths say for that name; and, over tables made from the input, a
// broken table is an error message, never a crash or a wrong option.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/unicode.h"
#include "init/classpath.h"

namespace {

namespace init = launcherwindows::init;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

constexpr std::string_view kPrefix = "-Djava.class.path=";
constexpr std::string_view kError = "error reading class path: \"";

void check_compiled_tables(const std::string& name) {
    const auto option = init::build_class_path_option(name);
    if (name.find('\0') != std::string::npos) {
        if (option.is_ok() || option.error().find("error reading app_name while getting classpath") ==
                                  std::string::npos)
            fail("a name with NUL is not refused as such");
        return;
    }
    const std::int32_t count = getClassPathCount(name.c_str());
    const char* const* paths = getClassPaths(name.c_str());
    const bool known = name == "ormad" || name == "ormic" || name == "vesmors" || name == "pylor" || name == "zentu";
    if (known != (count >= 0)) fail("count disagrees with the names");
    if ((count > 0) != (paths != nullptr)) fail("list present without entries or missing with them");
    if (count < 0) {
        if (option.is_ok() || !option.error().starts_with(kError)) fail("unknown name not refused");
        return;
    }
    if (!option.is_ok()) fail("known name refused");
    std::string want(kPrefix);
    for (std::int32_t i = 0; i < count; ++i) {
        if (paths[i] == nullptr) fail("hole in a compiled list");
        want += (i > 0 ? ";" : "") + std::string(paths[i]);
    }
    if (option.value() != want) fail("option differs from the table");
}

// A table made from the input, for the injectable form.
std::string g_name;
std::int32_t g_count = 0;
std::vector<std::string> g_entries;
std::vector<const char*> g_pointers;
bool g_null_list = false;

std::int32_t fuzz_count(const char* name) { return name == g_name ? g_count : -1; }
const char* const* fuzz_paths(const char* name) {
    return name != g_name || g_null_list ? nullptr : g_pointers.data();
}

// Input: a flags byte, then the name and the entries separated by '\n'; an
// entry "\x01" stands for a null pointer.
void check_fuzzed_table(std::string_view input) {
    if (input.empty()) return;
    const auto flags = static_cast<std::uint8_t>(input[0]);
    input.remove_prefix(1);
    std::vector<std::string> parts;
    for (std::size_t start = 0;;) {
        const std::size_t nl = input.find('\n', start);
        parts.emplace_back(input.substr(start, nl == std::string_view::npos ? std::string_view::npos : nl - start));
        if (nl == std::string_view::npos) break;
        start = nl + 1;
    }
    g_name = parts[0];
    if (g_name.find('\0') != std::string::npos) return;  // covered above
    g_entries.clear();
    // The function reads each entry as a C string, up to a NUL.
    for (std::size_t k = 1; k < parts.size(); ++k) g_entries.emplace_back(parts[k].c_str());
    g_pointers.clear();
    bool hole = false;
    for (const auto& e : g_entries) {
        hole = hole || e == "\x01";
        g_pointers.push_back(e == "\x01" ? nullptr : e.c_str());
    }
    g_null_list = (flags & 1) != 0;
    // Counts up to the entries present: the table function owns the list's length.
    g_count = flags & 2 ? -1 : static_cast<std::int32_t>(g_entries.size());

    const auto option = init::detail::build_class_path_option(g_name, fuzz_count, fuzz_paths);
    bool broken = g_count < 0 || (g_count > 0 && (g_null_list || hole));
    std::string want(kPrefix);
    for (std::size_t i = 0; !broken && i < g_entries.size(); ++i) {
        if (!launcherwindows::unicode::is_valid_utf8(g_entries[i])) broken = true;
        want += (i > 0 ? ";" : "") + g_entries[i];
    }
    if (broken) {
        if (option.is_ok() || !option.error().starts_with(kError)) fail("broken table not refused");
    } else if (!option.is_ok() || option.value() != want) {
        fail("sound table gives a different option");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    check_compiled_tables(input);
    check_fuzzed_table(input);
    return 0;
}
