// The PE reader on any bytes: no fault, and only names it found in the file.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "java_start/pe_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const PeImage image = read_pe_image(file);
    if (!image.is_pe && !image.imports.empty()) std::abort();
    for (const auto& name : image.imports) {
        if (name.empty() || file.find(name) == std::string_view::npos) std::abort();
    }
    return 0;
}
