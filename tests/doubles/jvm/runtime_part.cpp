// The stand-in runtime's own libraries in jre\bin, for tests only (never
// shipped), built once per part:
//   crtdouble.dll     its C runtime, imported by jvm.dll (MSVCR100.dll in a real JRE)
//   javadouble.dll    a library the runtime loads later by full path (java.dll),
//                     which imports
//   verifydouble.dll  another library there (verify.dll)
// Made-up names, so that no DLL of Wine's or of the system can stand in.
#if defined(RUNTIME_PART_JAVA)
extern "C" __declspec(dllimport) int verifydouble_part();
extern "C" __declspec(dllexport) int javadouble_part() { return verifydouble_part() + 1; }
#elif defined(RUNTIME_PART_VERIFY)
extern "C" __declspec(dllexport) int verifydouble_part() { return 2; }
#else
#include <windows.h>

namespace {
// As a C runtime does at its start: the standard handles as they are then.
HANDLE g_streams[3] = {};
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_streams[1] = GetStdHandle(STD_OUTPUT_HANDLE);
        g_streams[2] = GetStdHandle(STD_ERROR_HANDLE);
    }
    return TRUE;
}

extern "C" __declspec(dllexport) int crtdouble_part() { return 1; }

// Writes to descriptor 1 or 2 as this runtime took it over at its start.
extern "C" __declspec(dllexport) void crtdouble_write(int descriptor, const char* text) {
    DWORD written = 0;
    WriteFile(g_streams[descriptor == 1 ? 1 : 2], text, lstrlenA(text), &written, nullptr);
}
#endif
