// The narrow arguments of the C runtime are in the system code page; take the
// wide ones and pass UTF-8 on.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "common/unicode_windows.h"
#include "launcher_main.h"

namespace {

// No start loads a DLL from the caller's working directory, where anyone may
// have put one. Windows reads "" as just that; Wine still searches the working
// directory then, but not once a folder is named, so ours is named: it is
// searched first anyway. The Java start later names the runtime's folder.
void leave_the_working_directory_out_of_the_dll_search() {
    std::wstring path(32768, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(n < path.size() ? n : 0);
    const auto slash = path.find_last_of(L"\\/");
    path.resize(slash == std::wstring::npos ? 0 : slash);
    SetDllDirectoryW(path.c_str());
}

}  // namespace

int wmain(int argc, wchar_t** wargv) {
    leave_the_working_directory_out_of_the_dll_search();
    // The bytes we print are the bytes the caller gets: no CRLF translation.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.push_back(launcherwindows::unicode::from_wide(wargv[i]));
    return launcher_main(args);
}
