#pragma once
// The program's start-up, after the platform's entry point (main_windows.cpp,
// main_posix.cpp) has the arguments as UTF-8.
#include <string>
#include <vector>

// Prints the program path and the start message, installs the cipher tables
// and hands over to the dispatch; the process exit status.
int launcher_main(std::vector<std::string>& args);
