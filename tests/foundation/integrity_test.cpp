#include <gtest/gtest.h>

#include <filesystem>

#include "integrity/integrity.h"
#include "test_files.h"

using namespace launcherwindows::integrity;

TEST(Integrity, Sha256OfKnownContent) {
    const auto dir = test_files::fresh_directory("sha");
    test_files::write(dir / "abc", "abc");
    test_files::write(dir / "empty", "");
    EXPECT_EQ(sha256_file((dir / "abc").string()),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(sha256_file((dir / "empty").string()),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(sha256_file((dir / "missing").string()), std::nullopt);
}

TEST(Integrity, ChecksOnlyTheApplicationsOwnFiles) {
    const auto dir = test_files::fresh_directory("integrity");
    test_files::write(dir / "lib" / "a.jar", "abc");
    // A name beyond ASCII, in UTF-8 as the build embeds it (Windows opens it by its UTF-16 name).
    const std::filesystem::path non_ascii = dir / "lib" / std::filesystem::path(u8"café-3.3.4.2.jar");
    test_files::write(non_ascii, "abc");
    const FileDigest files[] = {
        {"ormic", "lib/a.jar", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"ormad", "lib/a.jar", "0000000000000000000000000000000000000000000000000000000000000000"},
        {"zentu", "bin/missing.dll", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"ormic", "lib/caf\303\251-3.3.4.2.jar", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
    };
    EXPECT_TRUE(check_files("ormic", files, 4, dir.string()));
    EXPECT_FALSE(check_files("ormad", files, 4, dir.string()));   // altered
    EXPECT_FALSE(check_files("zentu", files, 4, dir.string()));   // missing
    EXPECT_TRUE(check_files("vesmors", files, 4, dir.string()));  // nothing listed
    for (const auto& altered : {dir / "lib" / "a.jar", non_ascii}) {
        test_files::write(altered, "abd");
        EXPECT_FALSE(check_files("ormic", files, 4, dir.string()));
        test_files::write(altered, "abc");
    }
}

TEST(Integrity, DefaultBuildListsNothingSoEveryApplicationIsValid) {
    for (const char* app : {"ormic", "ormad", "zentu", "vesmors"}) EXPECT_TRUE(is_valid(app)) << app;
}
