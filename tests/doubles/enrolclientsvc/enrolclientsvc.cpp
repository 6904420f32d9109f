// Stand-in for the zentu application's native library, for tests only (never
// shipped). Built twice: with the cdecl export windowsEntry, and without it
// (ENROLCLIENTSVC_NO_ENTRY, exporting otherEntry instead). Like a Go library,
// it leaves a thread of its own running in its code when the entry returns.
#include <windows.h>

#include <cstdint>
#include <string>

#include "cipher/cipher_api.h"
#include "record_format.h"

namespace {

HMODULE g_self = nullptr;

std::wstring record_path() {
    std::wstring buf(32768, L'\0');
    DWORD n = GetEnvironmentVariableW(L"ENROLCLIENTSVC_RECORD", buf.data(), static_cast<DWORD>(buf.size()));
    if (n > 0 && n < buf.size()) return buf.substr(0, n);
    n = GetModuleFileNameW(g_self, buf.data(), static_cast<DWORD>(buf.size()));
    buf.resize(n);
    buf.erase(buf.find_last_of(L"\\/") + 1);
    for (const char* c = enrolclientsvc::kRecordFile; *c != '\0'; ++c) buf.push_back(static_cast<wchar_t>(*c));
    return buf;
}

void record(const std::string& line) {
    const HANDLE h = CreateFileW(record_path().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(h);
}

[[maybe_unused]] std::string hex(const unsigned char* bytes, std::uint32_t length) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (std::uint32_t i = 0; i < length; ++i) {
        out.push_back(digits[bytes[i] >> 4]);
        out.push_back(digits[bytes[i] & 15]);
    }
    return out;
}

// Runs in this library's code until the process ends: unloading the library
// under it makes it fault.
[[maybe_unused]] DWORD WINAPI keep_running(LPVOID started) {
    SetEvent(static_cast<HANDLE>(started));
    for (;;) Sleep(1);
}

[[maybe_unused]] void start_own_thread() {
    const HANDLE started = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const HANDLE thread = CreateThread(nullptr, 0, keep_running, started, 0, nullptr);
    if (thread) {
        WaitForSingleObject(started, INFINITE);
        CloseHandle(thread);
    }
    CloseHandle(started);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_self = instance;
        record("attach");
    } else if (reason == DLL_PROCESS_DETACH) {
        // reserved is null for FreeLibrary, non-null when the process ends.
        record(reserved == nullptr ? "detach unload" : "detach exit");
    }
    return TRUE;
}

#ifndef ENROLCLIENTSVC_NO_ENTRY
extern "C" __declspec(dllexport) int LAUNCHER_CDECL windowsEntry(const unsigned char* argument, std::uint32_t length,
                                                                 launcher_distribution_key_fn key_provider,
                                                                 launcher_cfb_fn decrypt) {
    // Read first: this is the mode the launcher left in force for the call.
    const DWORD thread_mode = GetThreadErrorMode();
    const UINT process_mode = GetErrorMode();
    unsigned char key[48] = {};
    key_provider(key);
    unsigned char plain[sizeof enrolclientsvc::kCiphertext] = {};
    decrypt(enrolclientsvc::kIv, enrolclientsvc::kCiphertext, sizeof plain, plain);
    record("call argument=" + hex(argument, length) + " length=" + std::to_string(length) +
           " thread_error_mode=" + std::to_string(thread_mode) + " process_error_mode=" +
           std::to_string(process_mode) + " distribution_key=" + hex(key, sizeof key) +
           " decrypted=" + hex(plain, sizeof plain));
    // An application that closes its standard output first, when asked to.
    if (GetEnvironmentVariableW(L"ENROLCLIENTSVC_CLOSE_STDOUT", nullptr, 0) > 0)
        CloseHandle(GetStdHandle(STD_OUTPUT_HANDLE));
    // What a Go runtime writes when it panics, when asked to.
    std::wstring text(1024, L'\0');
    text.resize(GetEnvironmentVariableW(L"ENROLCLIENTSVC_STDERR", text.data(), static_cast<DWORD>(text.size())));
    if (!text.empty()) {
        const std::string line = std::string(text.begin(), text.end()) + "\n";
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
    start_own_thread();
    return enrolclientsvc::kEntryResult;
}
#else
extern "C" __declspec(dllexport) int LAUNCHER_CDECL otherEntry() { return 0; }
#endif
