// service_stop_timer <service>: sends Stop to a running service and prints
// how long the control took and how long until its process had ended, in ms.
#include <windows.h>

#include <cstdio>

namespace {

double ms_since(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int fail(const char* what) {
    std::fprintf(stderr, "service_stop_timer: %s failed: %lu\n", what, GetLastError());
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: service_stop_timer <service>\n");
        return 2;
    }
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (manager == nullptr) return fail("OpenSCManagerW");
    SC_HANDLE service = OpenServiceW(manager, argv[1], SERVICE_STOP | SERVICE_QUERY_STATUS);
    if (service == nullptr) return fail("OpenServiceW");
    SERVICE_STATUS_PROCESS status{};
    DWORD needed = 0;
    if (!QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<LPBYTE>(&status), sizeof(status),
                              &needed)) {
        return fail("QueryServiceStatusEx");
    }
    if (status.dwCurrentState != SERVICE_RUNNING) {
        std::fprintf(stderr, "service_stop_timer: the service is not running (state %lu, exit code %lu/%lu, process %lu)\n",
                     status.dwCurrentState, status.dwWin32ExitCode, status.dwServiceSpecificExitCode,
                     status.dwProcessId);
        return 1;
    }
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, status.dwProcessId);
    if (process == nullptr) return fail("OpenProcess");

    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    SERVICE_STATUS after{};
    if (!ControlService(service, SERVICE_CONTROL_STOP, &after)) return fail("ControlService");
    const double control_ms = ms_since(start);
    if (WaitForSingleObject(process, 30000) != WAIT_OBJECT_0) return fail("WaitForSingleObject");
    const double exit_ms = ms_since(start);
    std::printf("control_ms=%.2f exit_ms=%.2f\n", control_ms, exit_ms);

    CloseHandle(process);
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return 0;
}
