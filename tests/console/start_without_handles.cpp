// Starts a program the way a shortcut or Explorer does, with no standard
// handles, and exits with its status (tests only):
//   start_without_handles <program> [<argument>...]
#include <windows.h>

#include <string>

#include "common/unicode_windows.h"
#include "install_service/command_line.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    using namespace launcherwindows;
    std::string command_line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) command_line += ' ';
        command_line += install_service::quote_argument(unicode::from_wide(argv[i]));
    }
    std::wstring wide = unicode::to_wide(command_line);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;  // and all three null
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 3;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 1;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(status);
}
