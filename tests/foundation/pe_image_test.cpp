// The PE reader behind the named missing imports, on images built here.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "java_start/pe_image.h"

namespace {

void put(std::string& s, std::size_t at, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) s[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
}

struct SectionRow {
    std::uint32_t address, virtual_size, raw_size, raw_offset;
};

// How image() lays a file out beyond the imports' names.
struct Layout {
    std::uint32_t name_rva_shift = 0;  // moves the first name's RVA by that much
    std::size_t nameless = 0;          // descriptors before the named ones, their names outside the file
    std::vector<SectionRow> before, after;  // sections listed before and after the import section
};

// DOS header, NT headers and a section (RVA 0x1000, file offset 0x200) that
// holds the import descriptors and then the names.
std::string image(std::uint16_t magic, const std::vector<std::string>& imports, const Layout& layout = {}) {
    std::string s(0x200, '\0');
    s[0] = 'M';
    s[1] = 'Z';
    const std::size_t nt = 0x40, optional = nt + 24;
    put(s, 60, nt, 4);
    s.replace(nt, 4, std::string("PE\0\0", 4));
    put(s, nt + 4, magic == 0x20b ? 0x8664 : 0x14c, 2);
    put(s, nt + 6, static_cast<std::uint32_t>(layout.before.size() + 1 + layout.after.size()), 2);
    const std::size_t directories = optional + (magic == 0x20b ? 112 : 96);
    const std::size_t optional_size = directories + 16 * 8 - optional;
    put(s, nt + 20, static_cast<std::uint32_t>(optional_size), 2);
    put(s, optional, magic, 2);
    put(s, optional + 60, 0x200, 4);
    put(s, directories - 4, 16, 4);
    put(s, directories + 8, 0x1000, 4);

    const std::size_t descriptors = layout.nameless + imports.size() + 1;
    std::string raw(descriptors * 20, '\0');
    for (std::size_t i = 0; i < layout.nameless; ++i) {
        put(raw, i * 20 + 12, 0xFFFFFF00u, 4);
        put(raw, i * 20 + 16, 0x1800, 4);
    }
    for (std::size_t i = 0; i < imports.size(); ++i) {
        const std::size_t at = (layout.nameless + i) * 20;
        put(raw, at + 12, static_cast<std::uint32_t>(0x1000 + raw.size() + (i == 0 ? layout.name_rva_shift : 0)), 4);
        put(raw, at + 16, 0x1800, 4);
        raw += imports[i] + '\0';
    }
    raw.resize((raw.size() + 0x1FF) & ~std::size_t{0x1FF}, '\0');

    std::vector<SectionRow> rows = layout.before;
    rows.push_back({0x1000, static_cast<std::uint32_t>(raw.size()), static_cast<std::uint32_t>(raw.size()), 0x200});
    rows.insert(rows.end(), layout.after.begin(), layout.after.end());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::size_t section = optional + optional_size + i * 40;
        put(s, section + 8, rows[i].virtual_size, 4);
        put(s, section + 12, rows[i].address, 4);
        put(s, section + 16, rows[i].raw_size, 4);
        put(s, section + 20, rows[i].raw_offset, 4);
    }
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
        {"a name outside the file is skipped", image(0x10b, names, {.name_rva_shift = 0x100000}), true, 0x14c,
         {names[1], names[2]}},
        // The section that a scan of the table in order finds first holds an
        // address, whatever the order of their addresses.
        {"sections in falling address order", image(0x10b, names, {.before = {{0x8000, 0x100, 0x100, 0}}}), true,
         0x14c, names},
        {"a later section over the names", image(0x10b, names, {.after = {{0x1040, 0x100, 0x100, 0}}}), true, 0x14c,
         names},
        {"an earlier section over the table, holding nothing of the file",
         image(0x10b, names, {.before = {{0x1000, 0x40, 0, 0}}}), true, 0x14c, {}},
        {"names after 4095 descriptors without one", image(0x10b, names, {.nameless = 4095}), true, 0x14c,
         {names[0]}},
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
