#include "process/console_output.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "common/shared_file_windows.h"
#include "common/system_error.h"
#include "process/process.h"

namespace launcherwindows::console {
namespace {

bool usable(HANDLE handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
    SetLastError(NO_ERROR);
    return GetFileType(handle) != FILE_TYPE_UNKNOWN || GetLastError() == NO_ERROR;
}

// Our C runtime's descriptor and stream onto the handle; unbuffered, so that
// a crash loses nothing already written.
void point_stream(HANDLE file, int descriptor, std::FILE* stream) {
    HANDLE copy = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), file, GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return;
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(copy), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(copy);
        return;
    }
    _dup2(fd, descriptor);
    _close(fd);
    // msvcrt leaves a stream that had no handle at its start on descriptor
    // -2, which neither freopen nor _dup2 will take over: give it its own.
    if (_fileno(stream) < 0) stream->_file = descriptor;
    std::clearerr(stream);
    std::setvbuf(stream, nullptr, _IONBF, 0);
}

}  // namespace

Missing missing_streams() {
    return {!usable(GetStdHandle(STD_OUTPUT_HANDLE)), !usable(GetStdHandle(STD_ERROR_HANDLE))};
}

Result<Unit, std::string> redirect(const std::string& path, Missing missing) {
    // Every write goes to the end of the file, so both streams' writes land
    // in the order they were made, as on a console, after whatever is there.
    const HANDLE file = open_shared_file(path, FILE_APPEND_DATA);
    if (file == INVALID_HANDLE_VALUE) return Result<Unit, std::string>::err(os_error_text(GetLastError()));
    // Standard error gets a handle of its own on the same file: an
    // application that closes its standard output must not close it too.
    HANDLE error_handle = file;
    if (missing.output && missing.error &&
        !DuplicateHandle(GetCurrentProcess(), file, GetCurrentProcess(), &error_handle, 0, FALSE,
                         DUPLICATE_SAME_ACCESS)) {
        error_handle = file;  // one handle for both, as before, rather than no output
    }
    // Held for the rest of the process: the streams write to them until the end.
    if (missing.output) {
        SetStdHandle(STD_OUTPUT_HANDLE, file);
        point_stream(file, 1, stdout);
    }
    if (missing.error) {
        SetStdHandle(STD_ERROR_HANDLE, error_handle);
        point_stream(error_handle, 2, stderr);
    }
    return Result<Unit, std::string>::ok(Unit{});
}

}  // namespace launcherwindows::console
