// The service command line read back by the rules of CommandLineToArgvW
// (written out below as Wine implements them, which the Windows-built service
// tests check against the real function): every argument round-trips, and the
// quoted executable path comes back as the program name.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "install_service/command_line.h"

namespace {

using namespace launcherwindows::install_service;

[[noreturn]] void fail(const char* what, const std::string& line) {
    std::fprintf(stderr, "%s: [%s]\n", what, line.c_str());
    std::abort();
}

bool blank(char c) { return c == ' ' || c == '\t'; }

std::vector<std::string> command_line_to_argv(const std::string& line) {
    std::vector<std::string> args;
    std::size_t i = 0;
    // The program name has no escapes: up to the next quote if it starts with
    // one, otherwise up to the first blank.
    std::string program;
    if (i < line.size() && line[i] == '"') {
        ++i;
        while (i < line.size() && line[i] != '"') program += line[i++];
        if (i < line.size()) ++i;
    } else {
        while (i < line.size() && !blank(line[i])) program += line[i++];
    }
    args.push_back(program);
    while (i < line.size() && blank(line[i])) ++i;
    if (i == line.size()) return args;

    // The other arguments: 2n backslashes and a quote are n backslashes and a
    // quote that toggles quoting, 2n+1 are n and a literal quote, a run of
    // quotes counts modulo three; other backslashes are literal.
    std::string arg;
    std::size_t backslashes = 0;
    int quotes = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (blank(c) && quotes == 0) {
            args.push_back(arg);
            arg.clear();
            while (i < line.size() && blank(line[i])) ++i;
            backslashes = 0;
            if (i == line.size()) return args;
            continue;
        }
        if (c == '\\') {
            arg += c;
            ++backslashes;
            ++i;
            continue;
        }
        if (c == '"') {
            if (backslashes % 2 == 0) {
                arg.resize(arg.size() - backslashes / 2);
                ++quotes;
            } else {
                arg.resize(arg.size() - backslashes / 2 - 1);
                arg += '"';
            }
            ++i;
            backslashes = 0;
            while (i < line.size() && line[i] == '"') {
                if (++quotes == 3) {
                    arg += '"';
                    quotes = 0;
                }
                ++i;
            }
            if (quotes == 2) quotes = 0;
            continue;
        }
        arg += c;
        backslashes = 0;
        ++i;
    }
    args.push_back(arg);
    return args;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path(reinterpret_cast<const char*>(data), size);
    // A NUL ends a wide command line; an empty argument is never quoted (the
    // service's path is never empty).
    if (path.empty() || path.find('\0') != std::string::npos) return 0;

    const std::string quoted = quote_argument(path);
    const auto args = command_line_to_argv("prog " + quoted);
    if (args.size() != 2 || args[0] != "prog") fail("wrong argument count", quoted);
    if (args[1] != path) fail("argument does not read back", quoted);

    // An executable's path has no quote and no trailing backslash; those read
    // back as the program name, with "start" after them.
    if (path.find('"') == std::string::npos && path.back() != '\\') {
        const std::string line = service_command_line(path);
        const auto service = command_line_to_argv(line);
        if (service.size() != 2) fail("service line: wrong argument count", line);
        if (service[0] != path) fail("service line: program name does not read back", line);
        if (service[1] != "start") fail("service line: no start argument", line);
    }
    return 0;
}
