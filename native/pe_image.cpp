#include "pe_image.h"

#include <algorithm>
#include <optional>

namespace {

constexpr std::size_t kMaxImports = 4096;
constexpr std::size_t kMaxNameLength = 260;

class Bytes {
public:
    explicit Bytes(std::string_view data) : data_(data) {}
    bool has(std::uint64_t offset, std::uint64_t size) const {
        return offset <= data_.size() && size <= data_.size() - offset;
    }
    std::uint32_t le(std::uint64_t offset, int size) const {
        std::uint32_t value = 0;
        for (int i = size - 1; i >= 0; --i)
            value = value << 8 | static_cast<unsigned char>(data_[static_cast<std::size_t>(offset) + i]);
        return value;
    }
    std::uint16_t u16(std::uint64_t offset) const { return static_cast<std::uint16_t>(le(offset, 2)); }
    std::uint32_t u32(std::uint64_t offset) const { return le(offset, 4); }
    std::string_view view() const { return data_; }

private:
    std::string_view data_;
};

struct Section {
    std::uint32_t address, virtual_size, raw_size, raw_offset;
};

std::optional<std::uint64_t> file_offset(const std::vector<Section>& sections, std::uint32_t headers_size,
                                         std::uint32_t rva) {
    for (const Section& s : sections) {
        const std::uint64_t span = std::max(s.virtual_size, s.raw_size);
        if (rva >= s.address && rva - s.address < span) {
            const std::uint64_t into = rva - s.address;
            if (into >= s.raw_size) return std::nullopt;  // zero-filled, not in the file
            return std::uint64_t{s.raw_offset} + into;
        }
    }
    if (rva < headers_size) return rva;
    return std::nullopt;
}

std::vector<std::string> import_names(const Bytes& b, std::uint64_t nt) {
    std::vector<std::string> names;
    const std::uint64_t optional = nt + 24;
    if (!b.has(nt, 24)) return names;
    const std::uint16_t section_count = b.u16(nt + 6);
    const std::uint16_t optional_size = b.u16(nt + 20);
    if (!b.has(optional, 2)) return names;
    const std::uint16_t magic = b.u16(optional);
    std::uint64_t directories = 0;
    if (magic == 0x10b) {
        directories = optional + 96;
    } else if (magic == 0x20b) {
        directories = optional + 112;
    } else {
        return names;
    }
    // NumberOfRvaAndSizes precedes the directories; the import table is the second.
    if (!b.has(directories - 4, 4) || b.u32(directories - 4) < 2 || !b.has(directories + 8, 8)) return names;
    if (directories + 16 > optional + optional_size) return names;
    const std::uint32_t import_rva = b.u32(directories + 8);
    const std::uint32_t headers_size = b.has(optional + 60, 4) ? b.u32(optional + 60) : 0;

    std::vector<Section> sections;
    const std::uint64_t table = optional + optional_size;
    for (std::uint16_t i = 0; i < section_count; ++i) {
        const std::uint64_t at = table + std::uint64_t{i} * 40;
        if (!b.has(at, 40)) break;
        sections.push_back({b.u32(at + 12), b.u32(at + 8), b.u32(at + 16), b.u32(at + 20)});
    }
    if (import_rva == 0) return names;
    const auto first = file_offset(sections, headers_size, import_rva);
    if (!first) return names;
    for (std::uint64_t at = *first; names.size() < kMaxImports && b.has(at, 20); at += 20) {
        const std::uint32_t name_rva = b.u32(at + 12);
        const std::uint32_t thunks = b.u32(at + 16);
        if (name_rva == 0 && thunks == 0) break;  // the table's zero entry
        const auto name_at = file_offset(sections, headers_size, name_rva);
        if (!name_at || !b.has(*name_at, 1)) continue;
        const std::string_view rest = b.view().substr(static_cast<std::size_t>(*name_at), kMaxNameLength);
        const std::size_t end = rest.find('\0');
        if (end == std::string_view::npos || end == 0) continue;
        names.emplace_back(rest.substr(0, end));
    }
    return names;
}

}  // namespace

PeImage read_pe_image(std::string_view file) {
    const Bytes b(file);
    PeImage image;
    if (!b.has(0, 64) || file[0] != 'M' || file[1] != 'Z') return image;
    const std::uint64_t nt = b.u32(60);
    if (!b.has(nt, 6) || file.substr(static_cast<std::size_t>(nt), 4) != std::string_view("PE\0\0", 4)) return image;
    image.is_pe = true;
    image.machine = b.u16(nt + 4);
    image.imports = import_names(b, nt);
    return image;
}
