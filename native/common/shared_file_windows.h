#pragma once
// Our output files (the log, the Java trace, the console output) are made,
// or written on at their end, never emptied: the file may still hold the
// records of a start whose file could not be moved aside. They are shared for
// reading, writing and deleting: another process may read them meanwhile, and
// a later start may move them aside while we still write (Windows only).
#include <windows.h>

#include <string>

namespace launcherwindows {

// CreateFileW with OPEN_ALWAYS and that sharing; INVALID_HANDLE_VALUE and
// GetLastError on failure. With FILE_APPEND_DATA but not FILE_WRITE_DATA
// every write goes to the end of the file, whoever else writes to it.
HANDLE open_shared_file(const std::string& utf8_path, DWORD access);

}  // namespace launcherwindows
