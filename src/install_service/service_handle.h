#pragma once
#include <windows.h>

#include <utility>

namespace launcherwindows::install_service {

// A service manager or service handle, closed when it goes out of scope.
class ServiceHandle {
public:
    explicit ServiceHandle(SC_HANDLE handle = nullptr) : handle_(handle) {}
    ServiceHandle(ServiceHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    ServiceHandle& operator=(ServiceHandle&& other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }
    ServiceHandle(const ServiceHandle&) = delete;
    ServiceHandle& operator=(const ServiceHandle&) = delete;
    ~ServiceHandle() {
        if (handle_ != nullptr) CloseServiceHandle(handle_);
    }

    SC_HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    SC_HANDLE handle_;
};

}  // namespace launcherwindows::install_service
