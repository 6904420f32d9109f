// Loads only when loader_b.dll beside it is found; remembers the thread's
// error mode at its load.
#include <windows.h>

extern "C" __declspec(dllimport) int loader_b_value();
extern "C" __declspec(dllexport) int loader_a_value() { return loader_b_value() + 1; }
extern "C" {
__declspec(dllexport) DWORD loader_a_error_mode_at_load = 0xFFFFFFFF;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) loader_a_error_mode_at_load = GetThreadErrorMode();
    return TRUE;
}
