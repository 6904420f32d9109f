// Starts a program the way a shortcut or Explorer does, with no standard
// handles, and exits with its status (tests only). --give=out or --give=err
// passes this process's standard output or error as that one handle:
//   start_without_handles [--give=out|--give=err] <program> [<argument>...]
#include <windows.h>

#include <string>

#include "common/unicode_windows.h"
#include "install_service/command_line.h"

int wmain(int argc, wchar_t** argv) {
    using namespace launcherwindows;
    const std::wstring give = argc > 1 ? argv[1] : L"";
    const int first = give == L"--give=out" || give == L"--give=err" ? 2 : 1;
    if (argc <= first) return 2;
    std::string command_line;
    for (int i = first; i < argc; ++i) {
        if (i > first) command_line += ' ';
        command_line += install_service::quote_argument(unicode::from_wide(argv[i]));
    }
    std::wstring wide = unicode::to_wide(command_line);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;  // all three null but the one given
    HANDLE given = nullptr;
    if (first == 2) {
        const HANDLE own = GetStdHandle(give == L"--give=out" ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
        if (!DuplicateHandle(GetCurrentProcess(), own, GetCurrentProcess(), &given, 0, TRUE, DUPLICATE_SAME_ACCESS))
            return 3;
        (give == L"--give=out" ? startup.hStdOutput : startup.hStdError) = given;
    }
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, wide.data(), nullptr, nullptr, given != nullptr, 0, nullptr, nullptr, &startup,
                        &process))
        return 3;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 1;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(status);
}
