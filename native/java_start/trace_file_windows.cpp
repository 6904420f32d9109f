#include "java_start/trace_file.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include "common/shared_file_windows.h"

std::FILE* open_trace_file(const std::string& path) {
    // fopen shares no deleting, which would pin the file to its name.
    const HANDLE h = launcherwindows::open_shared_file(path, GENERIC_READ | FILE_APPEND_DATA);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_TEXT | _O_APPEND);
    if (fd < 0) {
        CloseHandle(h);
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "a+");
    if (!file) _close(fd);
    return file;
}
