#pragma once
// The record reader checked against nlohmann/json as an oracle.
#include <optional>
#include <string>
#include <string_view>

namespace launcherwindows::fuzz {

// How the reader and the oracle disagree on `text`, or nothing when they agree
// (or differ only where they legitimately may).
std::optional<std::string> record_reader_mismatch(std::string_view text);

}  // namespace launcherwindows::fuzz
