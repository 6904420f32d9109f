// The class-path tables and the class-path option.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "init/classpath.h"

using namespace launcherwindows::init;

namespace {

std::vector<std::string_view> rows(const char* name) {
    const std::int32_t count = getClassPathCount(name);
    const char* const* list = getClassPaths(name);
    if (count <= 0 || list == nullptr) return {};
    return {list, list + count};
}

bool strictly_byte_ordered(const std::vector<std::string_view>& v) {
    // string_view compares bytes as unsigned char, so upper case sorts before lower case.
    return std::adjacent_find(v.begin(), v.end(), [](auto a, auto b) { return !(a < b); }) == v.end();
}

bool contains(const std::vector<std::string_view>& v, std::string_view row) {
    return std::find(v.begin(), v.end(), row) != v.end();
}

}  // namespace

TEST(ClassPathTable, CountsAndListsByName) {
    EXPECT_EQ(getClassPathCount("ormic"), 232);
    EXPECT_EQ(getClassPathCount("ormad"), 232);
    EXPECT_EQ(getClassPathCount("vesmors"), 232);
    EXPECT_EQ(getClassPathCount("pylor"), 246);
    EXPECT_EQ(getClassPathCount("zentu"), 0);
    EXPECT_EQ(getClassPaths("zentu"), nullptr);
    for (const char* unknown : {"Ormic", "ormic ", "orm", "", "lib", "vesmor"}) {
        EXPECT_EQ(getClassPathCount(unknown), -1) << unknown;
        EXPECT_EQ(getClassPaths(unknown), nullptr) << unknown;
    }
    EXPECT_EQ(getClassPathCount(nullptr), -1);
    EXPECT_EQ(getClassPaths(nullptr), nullptr);
}

TEST(ClassPathTable, CommonListRows) {
    const auto common = rows("ormic");
    ASSERT_EQ(common.size(), 232u);
    EXPECT_EQ(getClassPaths("ormad"), getClassPaths("ormic"));
    EXPECT_TRUE(strictly_byte_ordered(common));
    EXPECT_EQ(common.front(), "lib/ABISFoundationSDK.jar");
    EXPECT_EQ(common.back(), "lib/zip4j-1.3.2.jar");
    for (const auto row : common) {
        EXPECT_TRUE(row.starts_with("lib/") && row.ends_with(".jar")) << row;
        EXPECT_EQ(row.find_first_of("\\; "), std::string_view::npos) << row;
    }
    for (const char* named : {"lib/commons-io-2.0.jar", "lib/gson-2.9.0.jar", "lib/log4j-1.2.16.jar",
                              "lib/tolvan.ec.security-3.3.4.2.jar", "lib/tolvan.ormad-3.3.4.2.jar",
                              "lib/tolvan.vesmor-3.3.4.2.jar", "lib/tolvan.vesmor.server-3.3.4.2.jar",
                              "lib/vesmors-wrapper-1.0.0.jar"}) {
        EXPECT_TRUE(contains(common, named)) << named;
    }
    EXPECT_EQ(std::count_if(common.begin(), common.end(), [](auto r) { return r.ends_with("-3.3.4.2.jar"); }), 14);
}

TEST(ClassPathTable, VesmorsHasItsOwnListWithTheSameRows) {
    EXPECT_NE(getClassPaths("vesmors"), getClassPaths("ormic"));
    EXPECT_EQ(rows("vesmors"), rows("ormic"));
}

TEST(ClassPathTable, PylorListIsItsOwnJarsThenTheCommonList) {
    const auto pylor = rows("pylor");
    ASSERT_EQ(pylor.size(), 246u);
    const std::vector<std::string_view> own(pylor.begin(), pylor.begin() + 14);
    const std::vector<std::string_view> rest(pylor.begin() + 14, pylor.end());
    EXPECT_TRUE(strictly_byte_ordered(own));
    EXPECT_TRUE(std::all_of(own.begin(), own.end(), [](auto r) { return r.starts_with("pylorlib/"); }));
    EXPECT_EQ(own.front(), "pylorlib/cal10n-api-0.7.4.jar");
    EXPECT_EQ(own.back(), "pylorlib/wrapper.jar");
    EXPECT_TRUE(contains(own, "pylorlib/tolvan.pylor.jar"));
    EXPECT_EQ(rest, rows("ormic"));
}

TEST(ClassPathOption, JoinsTheRowsInListOrder) {
    for (const char* name : {"ormic", "ormad", "vesmors", "pylor"}) {
        const auto option = build_class_path_option(name);
        ASSERT_TRUE(option) << option.error();
        std::string expected = "-Djava.class.path=";
        const auto list = rows(name);
        for (std::size_t i = 0; i < list.size(); ++i) {
            expected += (i == 0 ? "" : ";");
            expected += list[i];
        }
        EXPECT_EQ(option.value(), expected) << name;
    }
    const std::string ormic = build_class_path_option("ormic").value();
    EXPECT_TRUE(ormic.starts_with("-Djava.class.path=lib/ABISFoundationSDK.jar;lib/"));
    EXPECT_TRUE(ormic.ends_with(";lib/zip4j-1.3.2.jar"));
    EXPECT_EQ(std::count(ormic.begin(), ormic.end(), ';'), 231);
    EXPECT_TRUE(build_class_path_option("pylor").value().starts_with("-Djava.class.path=pylorlib/cal10n-api-0.7.4.jar;"));
    EXPECT_EQ(build_class_path_option("zentu").value(), "-Djava.class.path=");
}

TEST(ClassPathOption, UnknownNameGivesTheNestedQuotedMessage) {
    EXPECT_EQ(build_class_path_option("nope").error(),
              R"(error reading class path: "Loading of nope class_paths failed: \"error reading classpath count for app nope\"")");
    EXPECT_EQ(build_class_path_option("a\"b").error(),
              R"(error reading class path: "Loading of a\"b class_paths failed: \"error reading classpath count for app a\\\"b\"")");
    EXPECT_EQ(build_class_path_option(std::string_view("orm\0ic", 6)).error(),
              R"(error reading class path: "Loading of orm\0ic class_paths failed: )"
              R"(\"error reading app_name while getting classpath: nul byte found in provided data at position: 3\"")");
}

namespace {

const char* const kBadRows[] = {"lib/a.jar", "lib/\xFF.jar"};
std::int32_t two(const char*) { return 2; }
std::int32_t minus_five(const char*) { return -5; }
const char* const* bad_rows(const char*) { return kBadRows; }
const char* const* no_rows(const char*) { return nullptr; }

}  // namespace

TEST(ClassPathOption, BrokenTablesAreReportedNotFollowed) {
    EXPECT_EQ(detail::build_class_path_option("x", two, bad_rows).error(),
              R"(error reading class path: "Loading of x class_paths failed: )"
              R"(\"error reading classpath from ptr: invalid utf-8 sequence from index 4\"")");
    EXPECT_EQ(detail::build_class_path_option("x", two, no_rows).error(),
              R"(error reading class path: "Loading of x class_paths failed: \"error reading classpath from ptr: null pointer\"")");
    EXPECT_EQ(detail::build_class_path_option("x", minus_five, bad_rows).error(),
              R"(error reading class path: "Loading of x class_paths failed: \"error reading classpath count for app x\"")");
}
