// The native-library start against a scripted loader: call order, error
// modes, the entry point's arguments and every failure branch.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cipher/cipher.h"
#include "common/system_error.h"
#include "log/logger.h"
#include "native_library/dll_start.h"
#include "process/process.h"
#include "test_files.h"

using namespace launcherwindows;
using namespace launcherwindows::dll_start;

namespace {

// What the scripted loader does and what it was asked.
struct Script {
    bool thread_ok = true;
    std::uint32_t thread_previous = 0;
    std::uint32_t process_previous = 0;
    bool load_ok = true, symbol_ok = true, free_ok = true;
    std::uint32_t error = 0;  // what GetLastError reports
    std::vector<std::string> calls;
    std::u16string path;
    // What the entry point received.
    std::string argument;
    const unsigned char* argument_address = nullptr;
    std::uint32_t length = 99;
    launcher_distribution_key_fn key_provider = nullptr;
    launcher_cfb_fn decrypt = nullptr;
};
Script s;
int module_token;

void LAUNCHER_CDECL fake_entry(const unsigned char* argument, std::uint32_t length, launcher_distribution_key_fn key,
                               launcher_cfb_fn decrypt) {
    s.calls.push_back("entry");
    s.argument_address = argument;
    s.argument.assign(reinterpret_cast<const char*>(argument), length);
    s.length = length;
    s.key_provider = key;
    s.decrypt = decrypt;
}

const LoaderApi kScripted{
    {[](std::uint32_t mode, std::uint32_t* previous) {
         s.calls.push_back("thread " + std::to_string(mode) + (previous == nullptr ? " (no out)" : ""));
         if (s.thread_ok && previous != nullptr) *previous = s.thread_previous;
         return s.thread_ok;
     },
     [](std::uint32_t mode) {
         s.calls.push_back("process " + std::to_string(mode));
         return s.process_previous;
     },
     [] { return s.error; }},
    [](const char16_t* path) -> Module {
        s.calls.push_back("load");
        s.path = path;
        return s.load_ok ? &module_token : nullptr;
    },
    [](Module module, const char* name) -> Symbol {
        s.calls.push_back("lookup " + std::string(name) + (module == &module_token ? "" : " (wrong module)"));
        return s.symbol_ok ? reinterpret_cast<Symbol>(fake_entry) : nullptr;
    },
    [](Module module) {
        s.calls.push_back(module == &module_token ? "free" : "free (wrong module)");
        return s.free_ok;
    },
    [] { return s.error; }};

const init::DllApp kApp{"libenrolclientsvc.dll", "windowsEntry"};
using Calls = std::vector<std::string>;

class DllStart : public testing::Test {
protected:
    void SetUp() override { s = Script{}; }
    StartResult run_app(std::string_view argument, const init::DllApp& app = kApp) {
        return run(app, argument, kScripted, process_wide_);
    }
    std::atomic<bool> process_wide_{false};
};

}  // namespace

TEST_F(DllStart, LoadsAndCallsWithTheThreadModeBackBeforeTheCallAndKeepsTheLibrary) {
    s.thread_previous = 0x8000;
    ASSERT_TRUE(run_app("h\xC3\xA9llo"));
    EXPECT_EQ(s.calls, (Calls{"thread 1", "load", "thread 32768 (no out)", "lookup windowsEntry", "entry"}));
    EXPECT_EQ(s.path, u"libenrolclientsvc.dll");
    EXPECT_EQ(s.argument, "h\xC3\xA9llo");
    EXPECT_EQ(s.length, 6u);
    EXPECT_EQ(s.key_provider, &distributionkey);
    EXPECT_EQ(s.decrypt, &aes_whitebox_decrypt_cfb);
    EXPECT_FALSE(process_wide_);
}

TEST_F(DllStart, EmptyArgumentIsLengthZeroWithAReadableAddress) {
    ASSERT_TRUE(run_app(std::string_view()));
    EXPECT_EQ(s.length, 0u);
    ASSERT_NE(s.argument_address, nullptr);
    EXPECT_EQ(*s.argument_address, 0);
}

TEST_F(DllStart, NothingIsRestoredWhenTheModeWasAlreadySetOrTheThreadCallFailed) {
    s.thread_previous = 1;
    ASSERT_TRUE(run_app("a"));
    EXPECT_EQ(s.calls, (Calls{"thread 1", "load", "lookup windowsEntry", "entry"}));

    s = Script{};
    s.thread_ok = false;
    s.error = 5;  // not ERROR_CALL_NOT_IMPLEMENTED: no fallback either
    ASSERT_TRUE(run_app("a"));
    EXPECT_EQ(s.calls, (Calls{"thread 1", "load", "lookup windowsEntry", "entry"}));
    EXPECT_FALSE(process_wide_);
}

TEST_F(DllStart, MissingThreadCallSwitchesToTheProcessModeForGood) {
    s.thread_ok = false;
    s.error = 120;
    s.process_previous = 2;
    ASSERT_TRUE(run_app("a"));
    EXPECT_EQ(s.calls, (Calls{"thread 1", "process 1", "load", "process 2", "lookup windowsEntry", "entry"}));
    EXPECT_TRUE(process_wide_);

    // Later starts go straight to the process-wide call, even if the thread call would work.
    s = Script{};
    s.process_previous = 1;  // already set: nothing to restore
    ASSERT_TRUE(run_app("a"));
    EXPECT_EQ(s.calls, (Calls{"process 1", "load", "lookup windowsEntry", "entry"}));
}

TEST_F(DllStart, LoadFailureRestoresTheModeAndReturnsTheSystemError) {
    s.load_ok = false;
    s.error = 126;
    const StartResult r = run_app("a");
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error(), system_error_message(126) + " (os error 126)");
    EXPECT_EQ(s.calls, (Calls{"thread 1", "load", "thread 0 (no out)"}));
}

TEST_F(DllStart, MissingEntryPointUnloadsAndReturnsTheSystemError) {
    s.symbol_ok = false;
    s.error = 127;
    const StartResult r = run_app("a");
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error(), os_error_text(127));
    EXPECT_EQ(s.calls, (Calls{"thread 1", "load", "thread 0 (no out)", "lookup windowsEntry", "free"}));
}

TEST_F(DllStart, EntryPointNameMayEndInOneNulButHoldNoOtherNul) {
    ASSERT_TRUE(run_app("a", {kApp.dll_path, std::string("windowsEntry\0", 13)}));
    EXPECT_EQ(s.calls.back(), "entry");
    EXPECT_EQ(s.calls[s.calls.size() - 2], "lookup windowsEntry");

    for (const std::string& name : {std::string("windows\0Entry", 13), std::string("windowsEntry\0\0", 14)}) {
        s = Script{};
        const StartResult r = run_app("a", {kApp.dll_path, name});
        ASSERT_FALSE(r);
        EXPECT_EQ(r.error(), "non-final null byte found");
        EXPECT_EQ(s.calls, (Calls{"thread 1", "load", "thread 0 (no out)", "free"}));
    }
}

TEST_F(DllStart, StartReadsTheRecordAndLogsBeforeLoading) {
    const auto dir = test_files::fresh_directory("dll-start");
    ASSERT_TRUE(logger::detail::install((dir / "launcher.log").string()));
    const StartResult bad = start(R"({"dll_path": "x.dll"})", "a", kScripted, process_wide_);
    ASSERT_TRUE(
        start(R"({"entry_point": "windowsEntry", "dll_path": "other.dll"})", "a", kScripted, process_wide_));
    logger::detail::uninstall_for_tests();

    ASSERT_FALSE(bad);
    EXPECT_EQ(bad.error(), "error while loading app config for zentu: " +
                               init::read_dll_app(R"({"dll_path": "x.dll"})").error().to_string());
    EXPECT_EQ(s.path, u"other.dll");
    const std::string log = test_files::read(dir / "launcher.log");
    const std::string line = " INFO launcherwindows::init - Start go service zentu\r\n\n";
    ASSERT_GE(log.size(), line.size());
    EXPECT_EQ(log.substr(log.size() - line.size()), line);
    EXPECT_EQ(log.find(line), log.size() - line.size());  // once: the bad record logs nothing
}

#if GTEST_HAS_DEATH_TEST
TEST_F(DllStart, FailuresWithoutAnErrorCodeAndAFailedUnloadAreFatal) {
    s.load_ok = false;
    EXPECT_EXIT((void)run_app("a"), testing::ExitedWithCode(3),
                "LoadLibraryW failed but GetLastError did not report the error");
    s = Script{};
    s.symbol_ok = false;
    EXPECT_EXIT((void)run_app("a"), testing::ExitedWithCode(3),
                "GetProcAddress failed but GetLastError did not report the error");
    s = Script{};
    s.symbol_ok = false;  // the one path that unloads
    s.free_ok = false;
    s.error = 6;
    EXPECT_EXIT((void)run_app("a"), testing::ExitedWithCode(3),
                "FreeLibrary failed for libenrolclientsvc.dll: .*os error 6");
}
#endif
