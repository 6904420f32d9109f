// The Windows loader gives only an error code (often 193 or 126 for quite
// different faults), so after a failed load the file's PE header tells a
// library for another machine and a file that is no library apart.
#include "library_failure.h"

#include <windows.h>

#include <charconv>
#include <cstring>

#include "windows_text.h"

namespace {

constexpr WORD kOwnMachine = sizeof(void*) == 8 ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386;
constexpr const char* kOwnBits = sizeof(void*) == 8 ? "64-bit" : "32-bit";

enum class Image { Unreadable, NotPe, Pe };
struct Header {
    Image image = Image::Unreadable;
    WORD machine = 0;
};

bool read_at(HANDLE file, DWORD offset, unsigned char* buffer, DWORD size) {
    OVERLAPPED at{};
    at.Offset = offset;
    DWORD got = 0;
    return ReadFile(file, buffer, size, &got, &at) && got == size;
}

// The DOS header's e_lfanew (offset 0x3c) leads to "PE\0\0" and the machine.
Header read_header(const char* path) {
    HANDLE file = CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    Header header{Image::NotPe, 0};
    unsigned char dos[64];
    unsigned char nt[6];
    if (read_at(file, 0, dos, sizeof dos) && dos[0] == 'M' && dos[1] == 'Z') {
        const DWORD nt_offset = DWORD{dos[60]} | DWORD{dos[61]} << 8 | DWORD{dos[62]} << 16 | DWORD{dos[63]} << 24;
        if (read_at(file, nt_offset, nt, sizeof nt) && std::memcmp(nt, "PE\0\0", 4) == 0)
            header = {Image::Pe, static_cast<WORD>(nt[4] | nt[5] << 8)};
    }
    CloseHandle(file);
    return header;
}

std::string hex(WORD value) {
    char digits[8];
    const auto end = std::to_chars(digits, digits + sizeof digits, value, 16).ptr;
    return std::string(digits, end);
}

}  // namespace

std::string library_load_failure(const char* path) {
    const DWORD code = GetLastError();
    const std::string os_error = " (os error " + std::to_string(code) + ")";
    const Header header = read_header(path);
    if (header.image == Image::NotPe) return "is not a Windows library" + os_error;
    if (header.image == Image::Pe && header.machine != kOwnMachine) {
        const std::string built = header.machine == IMAGE_FILE_MACHINE_AMD64 ? "is a 64-bit (x86-64) library"
                                                                             : "is built for machine 0x" + hex(header.machine);
        return built + "; this launcher is " + kOwnBits + " and needs a " + kOwnBits + " Java runtime";
    }
    if (header.image == Image::Pe && code == ERROR_MOD_NOT_FOUND)
        return "could not be loaded: a library it depends on is missing" + os_error;
    return "could not be loaded: " + system_message(code) + os_error;
}
