#include "java_start/pe_image.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <set>
#include <utility>

namespace {

// The walk ends after this many descriptors, named or not: a real table has
// one per DLL it imports, and the end of a crafted one may be far.
constexpr std::size_t kMaxDescriptors = 4096;
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

// Which section holds an RVA, as a scan of the table in order finds it (the
// first that spans it), in logarithmic time whatever the count: the sections'
// bounds cut the address space into stretches, each held by one section or none.
class SectionMap {
public:
    explicit SectionMap(std::vector<Section> sections) : sections_(std::move(sections)) {
        struct Bound {
            std::uint64_t at;
            bool opens;
            std::size_t section;
        };
        std::vector<Bound> bounds;
        for (std::size_t i = 0; i < sections_.size(); ++i) {
            const Section& s = sections_[i];
            const std::uint64_t span = std::max(s.virtual_size, s.raw_size);
            if (span == 0) continue;
            bounds.push_back({s.address, true, i});
            bounds.push_back({s.address + span, false, i});
        }
        std::sort(bounds.begin(), bounds.end(), [](const Bound& a, const Bound& b) { return a.at < b.at; });
        std::set<std::size_t> open;
        for (std::size_t k = 0; k < bounds.size();) {
            const std::uint64_t at = bounds[k].at;
            for (; k < bounds.size() && bounds[k].at == at; ++k) {
                if (bounds[k].opens) {
                    open.insert(bounds[k].section);
                } else {
                    open.erase(bounds[k].section);
                }
            }
            stretches_.push_back({at, open.empty() ? kNone : *open.begin()});
        }
    }

    const Section* find(std::uint32_t rva) const {
        const auto after = std::upper_bound(stretches_.begin(), stretches_.end(), rva,
                                            [](std::uint64_t r, const Stretch& s) { return r < s.begin; });
        if (after == stretches_.begin() || std::prev(after)->section == kNone) return nullptr;
        return &sections_[std::prev(after)->section];
    }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    struct Stretch {
        std::uint64_t begin;
        std::size_t section;
    };
    std::vector<Section> sections_;
    std::vector<Stretch> stretches_;
};

std::optional<std::uint64_t> file_offset(const SectionMap& sections, std::uint32_t headers_size, std::uint32_t rva) {
    if (const Section* s = sections.find(rva)) {
        const std::uint64_t into = rva - s->address;
        if (into >= s->raw_size) return std::nullopt;  // zero-filled, not in the file
        return std::uint64_t{s->raw_offset} + into;
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
    const SectionMap map(std::move(sections));
    const auto first = file_offset(map, headers_size, import_rva);
    if (!first) return names;
    std::uint64_t at = *first;
    for (std::size_t walked = 0; walked < kMaxDescriptors && b.has(at, 20); ++walked, at += 20) {
        const std::uint32_t name_rva = b.u32(at + 12);
        const std::uint32_t thunks = b.u32(at + 16);
        if (name_rva == 0 && thunks == 0) break;  // the table's zero entry
        const auto name_at = file_offset(map, headers_size, name_rva);
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
