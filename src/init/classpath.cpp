#include "init/classpath.h"

#include "common/unicode.h"
#include "init/applications.h"
#include "init/json_reader.h"
#include "text/quoted.h"

namespace {

using launcherwindows::init::ClassPathTable;

ClassPathTable table_for(const char* app_name) {
    if (app_name == nullptr) return {-1, nullptr};
    return launcherwindows::init::class_path_table(app_name).value_or(ClassPathTable{-1, nullptr});
}

}  // namespace

extern "C" std::int32_t getClassPathCount(const char* app_name) { return table_for(app_name).count; }

extern "C" const char* const* getClassPaths(const char* app_name) { return table_for(app_name).list; }

namespace launcherwindows::init {

namespace detail {

Result<std::string, std::string> build_class_path_option(std::string_view app_name, ClassPathCountFn count_of,
                                                         ClassPathsFn paths_of) {
    using R = Result<std::string, std::string>;
    const auto loading_failed = [&](const std::string& inner) {
        const std::string message =
            "Loading of " + std::string(app_name) + " class_paths failed: " + quoted_form(inner);
        return R::err("error reading class path: " + quoted_form(message));
    };

    if (auto checked = json::check_no_nul(app_name); !checked) {
        return loading_failed("error reading app_name while getting classpath: " + checked.error());
    }
    const std::string name(app_name);
    const std::int32_t count = count_of(name.c_str());
    if (count < 0) return loading_failed("error reading classpath count for app " + name);
    const char* const* entries = paths_of(name.c_str());

    std::string option = "-Djava.class.path=";
    for (std::int32_t i = 0; i < count; ++i) {
        // A count without a list (or a hole in it) is a broken table, not a crash.
        if (entries == nullptr || entries[i] == nullptr) {
            return loading_failed("error reading classpath from ptr: null pointer");
        }
        const std::string_view entry(entries[i]);
        if (const auto bad = unicode::first_invalid_utf8(entry)) {
            return loading_failed("error reading classpath from ptr: invalid utf-8 sequence from index " +
                                  std::to_string(*bad));
        }
        if (i > 0) option += ';';
        option += entry;
    }
    // The option goes to the JVM as a NUL-terminated string.
    if (auto checked = json::check_no_nul(option); !checked) {
        return R::err("error reading class path: " +
                      quoted_form("error converting class path from string to cstring: " + checked.error()));
    }
    return R::ok(std::move(option));
}

}  // namespace detail

Result<std::string, std::string> build_class_path_option(std::string_view app_name) {
    return detail::build_class_path_option(app_name, getClassPathCount, getClassPaths);
}

}  // namespace launcherwindows::init
