#include "trace_file.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include "common/shared_file_windows.h"

std::FILE* open_trace_file(const std::string& path) {
    // fopen shares no deleting, which would pin the file to its name.
    const HANDLE h = launcherwindows::create_shared_file(path, GENERIC_READ | GENERIC_WRITE);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_TEXT);
    if (fd < 0) {
        CloseHandle(h);
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "w+");
    if (!file) _close(fd);
    return file;
}
