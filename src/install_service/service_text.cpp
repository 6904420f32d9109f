#include "install_service/service_text.h"

#include "common/system_error.h"
#include "text/quoted.h"

namespace launcherwindows::install_service {

ServiceResult check_text(std::string_view text, ServiceError::Kind kind) {
    const std::size_t nul = text.find('\0');
    if (nul == std::string_view::npos) return service_ok();
    return service_error(ServiceError{kind, nul});
}

ServiceResult check_state(std::uint32_t state) {
    if (state >= 1 && state <= 7) return service_ok();
    return service_error(ServiceError{ServiceError::Kind::InvalidServiceState, state});
}

std::string path_line(const ModulePath& lookup) {
    if (lookup) return "Ok(" + quoted_form(lookup.value()) + ")";
    return "Err(" + std::to_string(lookup.error()) + ": " + system_error_message(lookup.error()) + ")";
}

}  // namespace launcherwindows::install_service
