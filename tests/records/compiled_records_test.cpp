// The compiled-in records: values, and the stored text's form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "init/applications.h"
#include "init/records.h"

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
                               R"(-XX:HeapDumpPath=.\dump\java_pid<pid>.hprof)",
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
