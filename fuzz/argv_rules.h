#pragma once
// The rules by which CommandLineToArgvW splits a command line, written out for
// the host (as Wine implements them; a Windows-built test compares the two).
#include <string>
#include <vector>

namespace argv_rules {

std::vector<std::string> command_line_to_argv(const std::string& line);

}  // namespace argv_rules
