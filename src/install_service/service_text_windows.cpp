#include "install_service/service_text_windows.h"

#include "common/unicode_windows.h"
#include "install_service/service_text.h"

namespace launcherwindows::install_service {

Result<std::wstring, ServiceError> checked_wide(std::string_view text, ServiceError::Kind kind) {
    if (auto checked = check_text(text, kind); !checked) return Result<std::wstring, ServiceError>::err(checked.error());
    return Result<std::wstring, ServiceError>::ok(unicode::to_wide(text));
}

}  // namespace launcherwindows::install_service
