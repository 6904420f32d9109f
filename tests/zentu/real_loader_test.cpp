// The real Windows loader with the stand-in libraries beside this program:
// the bare compiled-in name is found by the search order, the entry point
// runs under the thread's own error mode, and the library stays loaded.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cipher/cipher.h"
#include "common/system_error.h"
#include "dispatch/zentu.h"
#include "native_library/dll_start.h"
#include "process/process.h"
#include "record_format.h"
#include "test_files.h"

using namespace launcherwindows;

namespace {

std::string hex(const unsigned char* bytes, std::size_t n) {
    std::string out;
    char buf[3];
    for (std::size_t i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, "%02x", bytes[i]);
        out += buf;
    }
    return out;
}

class RealLoader : public testing::Test {
protected:
    void SetUp() override {
        install_compiled_cipher_tables();
        record_ = test_files::fresh_directory("zentu-real") / "record.txt";
        SetEnvironmentVariableW(L"ENROLCLIENTSVC_RECORD", record_.wstring().c_str());
        original_mode_ = GetThreadErrorMode();
    }
    void TearDown() override {
        SetThreadErrorMode(original_mode_, nullptr);
        SetEnvironmentVariableW(L"ENROLCLIENTSVC_RECORD", nullptr);
    }
    std::vector<std::string> take_record() {
        std::vector<std::string> lines;
        std::istringstream in(test_files::read(record_));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        std::filesystem::remove(record_);
        return lines;
    }
    std::filesystem::path record_;
    DWORD original_mode_ = 0;
};

}  // namespace

TEST_F(RealLoader, EntrySeesTheThreadsOwnModeAndTheLauncherServices) {
    unsigned char key[48];
    distributionkey(key);
    unsigned char plain[sizeof enrolclientsvc::kCiphertext];
    aes_whitebox_decrypt_cfb(enrolclientsvc::kIv, enrolclientsvc::kCiphertext, sizeof plain, plain);
    const std::string services = " distribution_key=" + hex(key, sizeof key) + " decrypted=" + hex(plain, sizeof plain);

    // SEM_NOOPENFILEERRORBOX alone, then a mode that already suppresses the
    // boxes. The library stays loaded under its thread: attached once.
    for (const DWORD mode : {DWORD{SEM_NOOPENFILEERRORBOX}, DWORD{SEM_FAILCRITICALERRORS}}) {
        ASSERT_TRUE(SetThreadErrorMode(mode, nullptr));
        ASSERT_TRUE(zentu("hello")) << mode;
        EXPECT_EQ(GetThreadErrorMode(), mode);
        auto lines = take_record();
        if (mode == SEM_NOOPENFILEERRORBOX) {
            ASSERT_FALSE(lines.empty());
            EXPECT_EQ(lines.front(), "attach");
            lines.erase(lines.begin());
        }
        ASSERT_EQ(lines.size(), 1u) << mode;
        EXPECT_EQ(lines[0].substr(0, lines[0].find(" process_error_mode=")),
                  "call argument=68656c6c6f length=5 thread_error_mode=" + std::to_string(mode));
        EXPECT_EQ(lines[0].substr(lines[0].find(" distribution_key=")), services);
    }
    EXPECT_NE(GetModuleHandleW(L"libenrolclientsvc.dll"), nullptr);
}

TEST_F(RealLoader, MissingExportIsError127AfterTheLibraryWasUnloaded) {
    ASSERT_TRUE(SetThreadErrorMode(SEM_NOOPENFILEERRORBOX, nullptr));
    const StartResult r = dll_start::run({"libenrolclientsvc_noentry.dll", "windowsEntry"}, "x",
                                         dll_start::system_loader(), error_mode::process_switch());
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error(), system_error_message(127) + " (os error 127)");
    EXPECT_EQ(take_record(), (std::vector<std::string>{"attach", "detach unload"}));
    EXPECT_EQ(GetThreadErrorMode(), DWORD{SEM_NOOPENFILEERRORBOX});
    EXPECT_FALSE(error_mode::process_switch());
}
