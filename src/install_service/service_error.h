#pragma once
#include <cstdint>
#include <string>

#include "common/result.h"

namespace launcherwindows {

struct ServiceError {
    enum class Kind {
        Winapi,
        InvalidServiceState,
        InvalidServiceName,
        InvalidDisplayName,
        InvalidExecutablePath,
        InvalidLaunchArgument,
        InvalidDependency,
        NotStopped,
    };
    Kind kind;
    // Winapi: the error code; InvalidServiceState and NotStopped (a remove
    // that gave up waiting): the state; the text kinds: the byte position of
    // the NUL.
    std::uint64_t value;

    static ServiceError winapi(std::uint32_t code) { return {Kind::Winapi, code}; }

    // The kind's name, then its value in parentheses; for Winapi the code and
    // the system's message, as in "Winapi(1073: The specified service already exists.)".
    std::string diagnostic() const;
};

using ServiceResult = Result<Unit, ServiceError>;
inline ServiceResult service_ok() { return ServiceResult::ok(Unit{}); }
inline ServiceResult service_error(ServiceError e) { return ServiceResult::err(e); }

}  // namespace launcherwindows
