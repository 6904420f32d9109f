#pragma once
// Our own small JSON reader: no packaged reader reports duplicate keys, nor these
// positions and messages. It reads one record shape: an object of known keys
// (others skipped) or an array of the values in field order.
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"
#include "init/records.h"

namespace launcherwindows::init::json {

// Skipped values may nest this deep (the record itself is the first level).
inline constexpr std::size_t kMaxDepth = 128;

enum class FieldKind { String, StringList };

struct Field {
    std::string_view key;
    FieldKind kind;
};

struct RecordShape {
    std::string_view name;  // "JavaApp": the messages say "struct JavaApp"
    std::span<const Field> fields;
};

// The value of one field: `text` for a String, `list` for a StringList.
struct FieldValue {
    std::string text;
    std::vector<std::string> list;
};

// One value per field of the shape, in field order.
Result<std::vector<FieldValue>, ParseError> read_record(std::string_view text, const RecordShape& shape);

// Whether `value` can be held as a NUL-terminated string; if not, why:
// "nul byte found in provided data at position: <n>".
Result<Unit, std::string> check_no_nul(std::string_view value);

}  // namespace launcherwindows::init::json
