#include "text/quoted_escapes.h"

#include <algorithm>
#include <iterator>

namespace launcherwindows {
namespace {

struct Range {
    char32_t first;
    char32_t last;
};

// Sorted, disjoint, not adjacent.
constexpr Range kRanges[] = {
#include "quoted_escape_ranges.inc"
};

}  // namespace

bool escaped_in_quoted_form(char32_t c) {
    const auto after = std::upper_bound(std::begin(kRanges), std::end(kRanges), c,
                                        [](char32_t v, const Range& r) { return v < r.first; });
    return after != std::begin(kRanges) && c <= std::prev(after)->last;
}

}  // namespace launcherwindows
