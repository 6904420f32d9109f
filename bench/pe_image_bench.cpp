// The PE reader on the worst file it may be given: as many sections as the
// header can count, and import descriptors from the table's start to the
// file's end, none with a usable name and none the table's zero entry.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "java_start/pe_image.h"

namespace {

void put(std::string& s, std::size_t at, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) s[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
}

std::string crafted_file(std::size_t size) {
    constexpr std::uint32_t kSections = 0xFFFF;
    constexpr std::size_t kNt = 0x40, kOptional = kNt + 24, kOptionalSize = 96 + 16 * 8;
    constexpr std::size_t kTable = kOptional + kOptionalSize;
    constexpr std::uint32_t kRaw = (kTable + kSections * 40 + 0xFFF) & ~0xFFFu;
    std::string s(size, '\0');
    s[0] = 'M';
    s[1] = 'Z';
    put(s, 60, kNt, 4);
    s.replace(kNt, 4, std::string("PE\0\0", 4));
    put(s, kNt + 4, 0x14c, 2);
    put(s, kNt + 6, kSections, 2);
    put(s, kNt + 20, kOptionalSize, 2);
    put(s, kOptional, 0x10b, 2);
    put(s, kOptional + 60, 0x400, 4);
    put(s, kOptional + 92, 16, 4);
    // Sections that hold no byte of the file; the last one holds the rest of
    // the file, which the import directory points at.
    const std::uint32_t import_rva = kSections * 0x1000;
    put(s, kOptional + 96 + 8, import_rva, 4);
    for (std::uint32_t i = 0; i < kSections; ++i) {
        const std::size_t at = kTable + std::size_t{i} * 40;
        put(s, at + 8, 0x1000, 4);
        put(s, at + 12, (i + 1) * 0x1000, 4);
    }
    const std::size_t last = kTable + std::size_t{kSections - 1} * 40;
    put(s, last + 8, static_cast<std::uint32_t>(size - kRaw), 4);
    put(s, last + 16, static_cast<std::uint32_t>(size - kRaw), 4);
    put(s, last + 20, kRaw, 4);
    for (std::size_t at = kRaw; at + 20 <= size; at += 20) {
        put(s, at + 12, 0xFFFFFFF0u, 4);  // a name outside every section
        put(s, at + 16, 0x2000, 4);
    }
    return s;
}

void BM_ReadCraftedPeImage(benchmark::State& state) {
    const std::string file = crafted_file(static_cast<std::size_t>(state.range(0)) << 20);
    for (auto _ : state) {
        PeImage image = read_pe_image(file);
        benchmark::DoNotOptimize(image);
    }
    state.SetLabel(std::to_string(state.range(0)) + " MiB");
}
BENCHMARK(BM_ReadCraftedPeImage)->Arg(4)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
