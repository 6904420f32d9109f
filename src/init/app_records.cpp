#include "app_records.h"

// Generated from data/records/*.json by cmake/embed_records.cmake.
namespace launcherwindows::init::embedded {
extern const std::string_view ormic_record;
extern const std::string_view ormad_record;
extern const std::string_view vesmors_record;
extern const std::string_view zentu_record;
}  // namespace launcherwindows::init::embedded

namespace launcherwindows::init {

std::string_view compiled_record(std::string_view app_name) {
    if (app_name == "ormic") return embedded::ormic_record;
    if (app_name == "ormad") return embedded::ormad_record;
    if (app_name == "vesmors") return embedded::vesmors_record;
    if (app_name == "zentu") return embedded::zentu_record;
    return {};
}

}  // namespace launcherwindows::init
