#include "service_text.h"

#include "../quoted.h"

#ifdef _WIN32
#include "../unicode.h"
#endif

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

#ifdef _WIN32
Result<std::wstring, ServiceError> checked_wide(std::string_view text, ServiceError::Kind kind) {
    if (auto e = text_error(text, kind)) return Result<std::wstring, ServiceError>::err(*e);
    return Result<std::wstring, ServiceError>::ok(unicode::to_wide(text));
}
#endif

}  // namespace launcherwindows::install_service
