#include "java_start/trace_file.h"

std::FILE* open_trace_file(const std::string& path) { return std::fopen(path.c_str(), "a+"); }
