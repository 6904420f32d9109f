// A Windows program handing launcher.exe arguments that no UTF-8 command line
// can carry: unpaired UTF-16 surrogates, through CreateProcessW.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "test_files.h"

namespace {

std::wstring product() {
    std::wstring path = L"Z:" LAUNCHER_TEST_PRODUCT;
    for (auto& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

// Runs <dir>\bin\launcher.exe with the command line tail; its exit code.
DWORD run(const std::filesystem::path& exe, const std::wstring& tail) {
    std::wstring command = L"\"" + exe.wstring() + L"\" " + tail;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const std::wstring cwd = exe.parent_path().parent_path().wstring();
    if (!CreateProcessW(exe.wstring().c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, cwd.c_str(),
                        &si, &pi)) {
        return 0xFFFFFFFF;
    }
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 0xFFFFFFFE;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

}  // namespace

TEST(UnpairedSurrogates, ArriveAsReplacementCharactersInTheLog) {
    const auto dir = test_files::fresh_directory("surrogates");
    const auto exe = dir / "bin" / "launcher.exe";
    std::filesystem::create_directories(exe.parent_path());
    ASSERT_TRUE(CopyFileW(product().c_str(), exe.wstring().c_str(), FALSE)) << GetLastError();
    const std::pair<std::wstring, std::string> cases[] = {
        {L"a\xD800" L"b", "a\xEF\xBF\xBD" "b"},  // a lone high surrogate
        {L"\xDC00z", "\xEF\xBF\xBDz"},           // a lone low one
        {L"x\xDC00\xD800", "x\xEF\xBF\xBD\xEF\xBF\xBD"},  // a pair the wrong way round
        {L"\xD83D\xDE00", "\xF0\x9F\x98\x80"},   // a proper pair, for contrast
    };
    for (const auto& [argument, utf8] : cases) {
        EXPECT_EQ(run(exe, argument), 0u) << utf8;
        const std::string log = test_files::read(dir / "launcher-logs" / "launcher.log");
        EXPECT_NE(log.find(" INFO launcherwindows - Entry:: " + utf8 + "\n\r\n\n"), std::string::npos) << log;
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}
