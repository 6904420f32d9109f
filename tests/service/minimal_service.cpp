// The least a service can do: report Running, and Stopped on a Stop control.
// scripts/bench-service.sh compares the launcher's stop with this one's.
#include <windows.h>

namespace {

SERVICE_STATUS_HANDLE g_status = nullptr;
HANDLE g_stop = nullptr;

void report(DWORD state, DWORD accepted) {
    SERVICE_STATUS s{SERVICE_WIN32_OWN_PROCESS, state, accepted, NO_ERROR, 0, 0, 0};
    SetServiceStatus(g_status, &s);
}

DWORD WINAPI handler(DWORD control, DWORD, LPVOID, LPVOID) {
    if (control == SERVICE_CONTROL_STOP) {
        SetEvent(g_stop);
        return NO_ERROR;
    }
    return control == SERVICE_CONTROL_INTERROGATE ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
}

void WINAPI service_main(DWORD, LPWSTR*) {
    g_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_status = RegisterServiceCtrlHandlerExW(L"svcbench_minimal", handler, nullptr);
    if (g_status == nullptr) return;
    report(SERVICE_RUNNING, SERVICE_ACCEPT_STOP);
    WaitForSingleObject(g_stop, INFINITE);
    report(SERVICE_STOPPED, 0);
}

}  // namespace

int wmain() {
    wchar_t name[] = L"svcbench_minimal";
    SERVICE_TABLE_ENTRYW table[] = {{name, service_main}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherW(table) ? 0 : 1;
}
