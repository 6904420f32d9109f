#pragma once
// What a file's PE headers say: the machine it is built for and the DLLs it
// imports, read from bytes without trusting any offset or count in them: the
// work is bounded by the bytes it walks, whatever the file holds.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct PeImage {
    bool is_pe = false;          // "MZ", then "PE\0\0" where e_lfanew points
    std::uint16_t machine = 0;   // IMAGE_FILE_MACHINE_*
    std::vector<std::string> imports;  // first-level imports, as the file names them
};

PeImage read_pe_image(std::string_view file);
