// The narrow arguments of the C runtime are in the system code page; take the
// wide ones and pass UTF-8 on.
#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "common/unicode_windows.h"
#include "launcher_main.h"

int wmain(int argc, wchar_t** wargv) {
    // The bytes we print are the bytes the caller gets: no CRLF translation.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.push_back(launcherwindows::unicode::from_wide(wargv[i]));
    return launcher_main(args);
}
