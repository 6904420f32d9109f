// launcher.exe starting the zentu library under Wine, with the stand-in
// libenrolclientsvc.dll (or a broken one) in <tree>/bin beside the program.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <unistd.h>

#include "../doubles/enrolclientsvc/record_format.h"
#include "cipher/cipher.h"
#include "harness.h"

using namespace wine_harness;

namespace {

fs::path double_dll(const std::string& name) {
    return windows_build_dir() / "tests" / "doubles" / "enrolclientsvc" / name;
}

// The trees live outside the build directory: the form of invocation hangs on
// the program's path, and a build directory may be named after "zentu" itself.
fs::path own_trees() { return fs::temp_directory_path() / ("launcher-wine-z-" + std::to_string(getpid())); }

// A tree whose bin holds the given file as libenrolclientsvc.dll (none if empty).
Tree zentu_tree(const std::string& relative, const std::string& dll = "libenrolclientsvc.dll") {
    Tree t{own_trees() / relative, own_trees() / relative / "bin" / "launcher.exe"};
    fs::remove_all(t.root);
    fs::create_directories(t.root / "bin");
    fs::copy_file(launcher_exe(), t.exe);
    if (!dll.empty()) fs::copy_file(double_dll(dll), t.root / "bin" / "libenrolclientsvc.dll");
    return t;
}

class WineZentu : public testing::Test {
protected:
    static void TearDownTestSuite() { fs::remove_all(own_trees()); }
};

// The library's record, emptied for the next run.
std::vector<std::string> take_record(const Tree& t) {
    const fs::path path = t.root / "bin" / enrolclientsvc::kRecordFile;
    std::vector<std::string> lines;
    std::istringstream in(read_file(path));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    fs::remove(path);
    return lines;
}

std::string hex(const unsigned char* bytes, std::size_t n) {
    std::string out;
    char buf[3];
    for (std::size_t i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, "%02x", bytes[i]);
        out += buf;
    }
    return out;
}

// The record of one call with these argument bytes, made in a process whose
// error modes were 0 before the launcher touched them.
std::vector<std::string> one_call(const std::string& argument) {
    install_compiled_cipher_tables();
    unsigned char key[48];
    distributionkey(key);
    unsigned char plain[sizeof enrolclientsvc::kCiphertext];
    aes_whitebox_decrypt_cfb(enrolclientsvc::kIv, enrolclientsvc::kCiphertext, sizeof plain, plain);
    return {"attach",
            "call argument=" + hex(reinterpret_cast<const unsigned char*>(argument.data()), argument.size()) +
                " length=" + std::to_string(argument.size()) +
                " thread_error_mode=0 process_error_mode=0 distribution_key=" + hex(key, sizeof key) +
                " decrypted=" + hex(plain, sizeof plain),
            "detach exit"};  // the library stays loaded under its own thread
}


const std::vector<std::string> kCommandWordStart = {
    "INFO launcherwindows - using launcher executable for startup",
    "INFO launcherwindows - Entry:: zentu\n",
    "INFO launcherwindows - Performing integrity check on the files......",
    "INFO launcherwindows::init - Start go service zentu",
};

}  // namespace

TEST_F(WineZentu, ArgumentReachesTheEntryPointAsItsExactBytes) {
    const Tree t = zentu_tree("zt/arguments");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"zentu"}, ""},
        {{"zentu", ""}, ""},
        {{"zentu", "hello"}, "hello"},
        {{"zentu", "caf\xC3\xA9 \xE2\x98\x83 \xF0\x9F\x98\x80"}, "caf\xC3\xA9 \xE2\x98\x83 \xF0\x9F\x98\x80"},
        {{"zentu", "a", "b"}, ""},
    };
    for (const auto& [args, bytes] : cases) {
        const RunResult r = run(t, {.args = args});
        const std::string label = std::to_string(args.size()) + " [" + args.back() + "]";
        EXPECT_EQ(r.status, 0) << label;  // whatever the entry point returns
        EXPECT_EQ(r.err, "") << label;
        EXPECT_EQ(take_record(t), one_call(bytes)) << label;
        EXPECT_EQ(log_entries(r.log), kCommandWordStart) << label << "\n" << r.log;
    }
}

TEST_F(WineZentu, InvocationNameFormPassesTheNextElement) {
    const Tree t = zentu_tree("zentu-app/inv");
    const RunResult r = run(t, {.args = {"sub command", "ignored"}});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(take_record(t), one_call("sub command"));
    EXPECT_EQ(log_entries(r.log), (std::vector<std::string>{"INFO launcherwindows - starting zentu",
                                                        "INFO launcherwindows::init - Start go service zentu"}));
}

TEST_F(WineZentu, LibraryThatCannotBeLoadedOrCalledFailsTheStart) {
    struct Case {
        std::string name, dll, error;
        std::vector<std::string> record;
    };
    const Case cases[] = {
        {"missing", "", "Module not found. (os error 126)", {}},
        {"noentry", "libenrolclientsvc_noentry.dll", "Procedure not found. (os error 127)", {"attach", "detach unload"}},
        {"notdll", "", "Bad EXE format for %1. (os error 193)", {}},
    };
    for (const Case& c : cases) {
        const Tree t = zentu_tree("zt/" + c.name, c.dll);
        if (c.name == "notdll") write_file(t.root / "bin" / "libenrolclientsvc.dll", "not a library\r\n");
        // A copy in the working directory (the tree's root here) is not searched.
        if (c.name == "missing") fs::copy_file(double_dll("libenrolclientsvc.dll"), t.root / "libenrolclientsvc.dll");

        RunResult r = run(t, {.args = {"zentu", "x"}});
        EXPECT_EQ(r.status, 255) << c.name;  // -1
        EXPECT_EQ(r.err, "") << c.name;
        EXPECT_EQ(take_record(t), c.record) << c.name;
        EXPECT_FALSE(fs::exists(t.root / enrolclientsvc::kRecordFile)) << c.name;
        std::vector<std::string> expected = kCommandWordStart;
        expected.push_back("ERROR launcherwindows - error while starting up zentu");
        expected.push_back("ERROR launcherwindows - Application error: \"" + c.error + "\"");
        EXPECT_EQ(log_entries(r.log), expected) << c.name;

        // The invocation-name form reports it in one record.
        const Tree inv = zentu_tree("zentu-" + c.name + "/inv", c.dll);
        if (c.name == "notdll") write_file(inv.root / "bin" / "libenrolclientsvc.dll", "not a library\r\n");
        r = run(inv, {.args = {"x"}});
        EXPECT_EQ(r.status, 255) << c.name;
        EXPECT_EQ(log_entries(r.log), (std::vector<std::string>{"INFO launcherwindows - starting zentu",
                                                            "INFO launcherwindows::init - Start go service zentu",
                                                            "ERROR launcherwindows - Application error: \"" +
                                                                c.error + "\""}))
            << c.name;
    }
}
