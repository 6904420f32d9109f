#pragma once
// Our output files (the log, the Java trace, the console output) are made
// afresh and shared for reading, writing and deleting: another process may
// read them meanwhile, and a later start may move them aside while we still
// write (Windows only).
#include <windows.h>

#include <string>

namespace launcherwindows {

// CreateFileW with CREATE_ALWAYS and that sharing; INVALID_HANDLE_VALUE and
// GetLastError on failure.
HANDLE create_shared_file(const std::string& utf8_path, DWORD access);

}  // namespace launcherwindows
