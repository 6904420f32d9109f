#pragma once
// The Java start's trace file, made, or written on at its end ("a+", text
// mode) when an earlier trace could not be moved aside, and shared for
// reading, writing and deleting, so that a later start can move it aside
// while this process still writes to it. Each platform in a file of its own.
#include <cstdio>
#include <string>

// Null when it cannot be opened.
std::FILE* open_trace_file(const std::string& path);
