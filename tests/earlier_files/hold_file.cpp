// hold_file <file> <release>: opens the file sharing reading and writing but
// not deleting, as many editors and log viewers do, creates <release>.held,
// and keeps the file open until <release> exists (tests only).
#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    const HANDLE file = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    const std::wstring held = std::wstring(argv[2]) + L".held";
    CloseHandle(CreateFileW(held.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    while (GetFileAttributesW(argv[2]) == INVALID_FILE_ATTRIBUTES) Sleep(20);
    CloseHandle(file);
    return 0;
}
