// The PE reader behind the named missing imports, on images built here.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pe_image.h"

namespace {

void put(std::string& s, std::size_t at, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) s[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
}

// DOS header, NT headers and one section (RVA 0x1000, file offset 0x200) that
// holds the import descriptors and then the names. name_rva_shift moves the
// first name's RVA by that much.
std::string image(std::uint16_t magic, const std::vector<std::string>& imports, std::uint32_t name_rva_shift = 0) {
    std::string s(0x200, '\0');
    s[0] = 'M';
    s[1] = 'Z';
    const std::size_t nt = 0x40, optional = nt + 24;
    put(s, 60, nt, 4);
    s.replace(nt, 4, std::string("PE\0\0", 4));
    put(s, nt + 4, magic == 0x20b ? 0x8664 : 0x14c, 2);
    put(s, nt + 6, 1, 2);
    const std::size_t directories = optional + (magic == 0x20b ? 112 : 96);
    const std::size_t optional_size = directories + 16 * 8 - optional;
    put(s, nt + 20, static_cast<std::uint32_t>(optional_size), 2);
    put(s, optional, magic, 2);
    put(s, optional + 60, 0x200, 4);
    put(s, directories - 4, 16, 4);
    put(s, directories + 8, 0x1000, 4);
    const std::size_t section = optional + optional_size;
    put(s, section + 8, 0x1000, 4);
    put(s, section + 12, 0x1000, 4);
    put(s, section + 16, 0x200, 4);
    put(s, section + 20, 0x200, 4);

    std::string raw((imports.size() + 1) * 20, '\0');
    for (std::size_t i = 0; i < imports.size(); ++i) {
        put(raw, i * 20 + 12, static_cast<std::uint32_t>(0x1000 + raw.size() + (i == 0 ? name_rva_shift : 0)), 4);
        put(raw, i * 20 + 16, 0x1800, 4);
        raw += imports[i] + '\0';
    }
    raw.resize(0x200, '\0');
    return s + raw;
}

}  // namespace

TEST(PeImage, ReadsTheMachineAndTheImportsAsNamed) {
    const std::vector<std::string> names = {"KERNEL32.dll", "crtdouble.dll", "msvcr100.DLL"};
    const struct {
        const char* what;
        std::string file;
        bool is_pe;
        std::uint16_t machine;
        std::vector<std::string> imports;
    } cases[] = {
        {"PE32", image(0x10b, names), true, 0x14c, names},
        {"PE32+", image(0x20b, names), true, 0x8664, names},
        {"no imports", image(0x10b, {}), true, 0x14c, {}},
        {"a name outside the file is skipped", image(0x10b, names, 0x100000), true, 0x14c, {names[1], names[2]}},
        {"an unknown optional header", image(0x107, names), true, 0x14c, {}},
        {"no MZ", "ZM" + image(0x10b, names).substr(2), false, 0, {}},
        {"text", "This is not a library.\r\n", false, 0, {}},
        {"empty", "", false, 0, {}},
    };
    for (const auto& c : cases) {
        const PeImage pe = read_pe_image(c.file);
        EXPECT_EQ(pe.is_pe, c.is_pe) << c.what;
        EXPECT_EQ(pe.machine, c.machine) << c.what;
        EXPECT_EQ(pe.imports, c.imports) << c.what;
    }
}

TEST(PeImage, EveryTruncationIsReadWithoutFault) {
    const std::string full = image(0x10b, {"a.dll", "b.dll"});
    for (std::size_t n = 0; n < full.size(); ++n) {
        const PeImage pe = read_pe_image(std::string_view(full).substr(0, n));
        EXPECT_LE(pe.imports.size(), 2u) << n;
    }
}
