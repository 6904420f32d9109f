#include "install_service/service_text.h"

#include "common/system_error.h"
#include "text/quoted.h"

namespace launcherwindows::install_service {

std::optional<ServiceError> text_error(std::string_view text, ServiceError::Kind kind) {
    const std::size_t nul = text.find('\0');
    if (nul == std::string_view::npos) return std::nullopt;
    return ServiceError{kind, nul};
}

std::optional<ServiceError> state_error(std::uint32_t state) {
    if (state >= 1 && state <= 7) return std::nullopt;
    return ServiceError{ServiceError::Kind::InvalidServiceState, state};
}

std::string path_line(const ModulePath& lookup) {
    if (lookup.path) return "Ok(" + quoted_form(*lookup.path) + ")";
    return "Err(" + std::to_string(lookup.error) + ": " + system_error_message(lookup.error) + ")";
}

}  // namespace launcherwindows::install_service
