// There is no service control manager on this platform: every call fails.
#include <cerrno>

#include "install_service/service_manager.h"

namespace launcherwindows::install_service {

ServiceManager system_service_manager() {
    ServiceManager m;
    m.open_manager = [](std::uint32_t) { return HandleResult::err(ENOSYS); };
    m.create_service = [](ScHandle, const std::string&, const std::string&, std::uint32_t, const std::string&) {
        return HandleResult::err(ENOSYS);
    };
    m.open_service = [](ScHandle, const std::string&, std::uint32_t) { return HandleResult::err(ENOSYS); };
    m.query_status = [](ScHandle) { return StatusResult::err(ENOSYS); };
    m.send_stop = [](ScHandle) { return StateResult::err(ENOSYS); };
    m.set_preshutdown_timeout = [](ScHandle, std::uint32_t) { return system_result(ENOSYS); };
    m.delete_service = [](ScHandle) { return system_result(ENOSYS); };
    m.close = [](ScHandle) {};
    m.sleep = [](std::uint32_t) {};
    m.executable_path = current_executable_path;
    return m;
}

}  // namespace launcherwindows::install_service
