// The compiled-in records: values, and the stored text's form.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "init/applications.h"
#include "init/java_app_start.h"
#include "init/records.h"
#include "test_files.h"

using namespace launcherwindows::init;

namespace {

const std::string kJvm = R"(.\jre\bin\client\jvm.dll)";
const std::string kKeyProvider = "tolvan/ec/security/impl/DistributionKeyProviderImpl";

JavaApp java_record(std::string_view name) {
    const auto r = read_java_app(compiled_record(name));
    EXPECT_TRUE(r) << name << ": " << (r ? "" : r.error().to_string());
    return r ? r.value() : JavaApp{};
}

}  // namespace

TEST(CompiledRecords, Ormic) {
    const JavaApp app = java_record("ormic");
    EXPECT_EQ(app.jvm_path, kJvm);
    EXPECT_EQ(app.main_class, "tolvan/ec/EnrolMain");
    EXPECT_EQ(app.encrypt_class, kKeyProvider);
    EXPECT_EQ(app.options, (std::vector<std::string>{
                               "-verbose:jni,class",
                               R"(-Djava.ext.dirs=.\jre\lib\ext;.\ext;)",
                               R"(-Djava.library.path=.\bin)",
                               "-Xshare:auto",
                               "-Xverify:none",
                               "-XX:MaxHeapFreeRatio=5",
                               "-XX:MinHeapFreeRatio=5",
                               "-XX:+HeapDumpOnOutOfMemoryError",
                               R"(-XX:HeapDumpPath=.\dump)",
                               "-Xms64m",
                               "-Xmx365m",
                               "-DimType=swing",
                               "-Dfile.encoding=UTF-8",
                               "-Djavax.net.ssl.trustStoreType=WINDOWS-ROOT",
                               "-Dsun.java2d.ddscale=true",
                               "-Dsun.java2d.translaccel=true",
                               "-Dmorena.debug=true",
                           }));
}

// The start makes the folder that the heap dump option names where no such
// path is, so that the runtime writes java_pid<pid>.hprof into it rather than
// a file of that name.
TEST(CompiledRecords, TheHeapDumpFolderIsMadeWhereTheLastOptionNamesNoPath) {
    namespace fs = std::filesystem;
    const struct {
        const char* what;
        std::vector<std::string> paths;  // under the case's folder, each in a -XX:HeapDumpPath= option
        const char* made;                // the folder made, or null
        bool ok;
    } cases[] = {
        {"no option", {}, nullptr, true},
        {"a missing folder and one above it", {"a/dump"}, "a/dump", true},
        {"the last option wins, a file that is there", {"first", "file"}, nullptr, true},
        {"under a file", {"file/dump"}, nullptr, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path dir = test_files::fresh_directory("heap-dump");
        test_files::write(dir / "file", "x");
        std::vector<std::string> options = {"-XX:+HeapDumpOnOutOfMemoryError"};
        for (const auto& p : c.paths) options.push_back("-XX:HeapDumpPath=" + (dir / p).string());
        const auto made = make_heap_dump_folder(options);
        EXPECT_EQ(made.is_ok(), c.ok);
        const std::string refused = "the heap dump folder " + (dir / "file/dump").string() + " cannot be made: ";
        if (!made) EXPECT_EQ(made.error().rfind(refused, 0), 0u) << made.error();
        if (c.made) EXPECT_TRUE(fs::is_directory(dir / c.made));
        EXPECT_FALSE(fs::exists(dir / "first"));
        EXPECT_TRUE(fs::is_regular_file(dir / "file"));
    }
}

TEST(CompiledRecords, Ormad) {
    const JavaApp app = java_record("ormad");
    EXPECT_EQ(app.jvm_path, kJvm);
    EXPECT_EQ(app.main_class, "tolvan/ormad/EnrolAdminMain");
    EXPECT_EQ(app.encrypt_class, kKeyProvider);
    EXPECT_EQ(app.options, (std::vector<std::string>{
                               "-verbose:jni,class",
                               R"(-Djava.ext.dirs=.\jre\lib\ext;.\ext;)",
                               R"(-Djava.library.path=.\bin)",
                               "-Xshare:auto",
                               "-Xverify:none",
                               "-XX:MaxHeapFreeRatio=5",
                               "-XX:MinHeapFreeRatio=5",
                               "-Xms32m",
                               "-Xmx320m",
                               "-DimType=swing",
                               "-Djavax.net.ssl.trustStoreType=WINDOWS-ROOT",
                           }));
}

TEST(CompiledRecords, Vesmors) {
    const JavaApp app = java_record("vesmors");
    EXPECT_EQ(app.jvm_path, kJvm);
    EXPECT_EQ(app.main_class, "tolvan/vesmor/server/ServiceMain");
    EXPECT_EQ(app.encrypt_class, kKeyProvider);
    EXPECT_EQ(app.options, (std::vector<std::string>{
                               "-verbose:jni,class",
                               R"(-Djava.ext.dirs=.\vesmor\l1\bin;.\vesmor\l1;.\jre\lib\ext)",
                               R"(-Djava.library.path=.\vesmor\l1\bin;.\vesmor\l1;.\jre\lib)",
                               "-Xshare:auto",
                               "-Xverify:none",
                               "-XX:MaxHeapFreeRatio=5",
                               "-XX:MinHeapFreeRatio=5",
                               "-Xms32m",
                               "-Xmx512m",
                               "-Djavax.net.ssl.trustStoreType=WINDOWS-ROOT",
                           }));
}

TEST(CompiledRecords, Zentu) {
    const auto r = read_dll_app(compiled_record("zentu"));
    ASSERT_TRUE(r) << r.error().to_string();
    EXPECT_EQ(r.value().dll_path, "libenrolclientsvc.dll");
    EXPECT_EQ(r.value().entry_point, "windowsEntry");
}

TEST(CompiledRecords, OnlyTheFourExactNamesHaveARecord) {
    for (const char* name : {"pylor", "Ormic", "ormic ", "-ormic", "", "zentu.json"}) {
        EXPECT_TRUE(compiled_record(name).empty()) << name;
    }
}

// The texts are kept byte for byte as stored: CRLF line ends, and the
// indentation each record was written with.
TEST(CompiledRecords, StoredTextsKeepTheirLayout) {
    for (const auto& [name, indent] : {std::pair{"ormic", 4}, {"ormad", 4}, {"vesmors", 2}, {"zentu", 4}}) {
        const std::string_view text = compiled_record(name);
        ASSERT_FALSE(text.empty()) << name;
        std::size_t line_ends = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] != '\n') continue;
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << name << ": bare line feed at byte " << i;
            ++line_ends;
        }
        EXPECT_GE(line_ends, 3u) << name;
        EXPECT_EQ(text.substr(0, 3 + indent + 1), "{\r\n" + std::string(indent, ' ') + "\"") << name;
    }
    EXPECT_TRUE(compiled_record("ormic").ends_with("}\r\n"));
    EXPECT_TRUE(compiled_record("ormad").ends_with("}"));
}
