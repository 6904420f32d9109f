// The record reader against nlohmann/json, see record_oracle.h.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "record_oracle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto mismatch = launcherwindows::fuzz::record_reader_mismatch(text)) {
        std::fprintf(stderr, "record reader and oracle disagree: %s\n", mismatch->c_str());
        std::abort();
    }
    return 0;
}
