#include "argv_rules.h"

namespace argv_rules {
namespace {
bool blank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

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

}  // namespace argv_rules
