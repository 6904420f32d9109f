// wbgen: writes white-box AES-256 tables for a key, reproducibly from a seed.
// usage: wbgen <64 hex digits key> <seed> <output file>
// Every table set it writes carries the nibble encodings. "--nibble-encodings",
// which once asked for part of them, is accepted and changes nothing; tables
// without them are test data that only the tests make, in-process.
#include <cstdio>
#include <cstring>
#include <string>

#include "wbgen.h"

int main(int argc, char** argv) {
    if (argc < 4 || argc > 5 || (argc == 5 && std::strcmp(argv[4], "--nibble-encodings") != 0)) {
        std::fprintf(stderr, "usage: wbgen <key: 64 hex digits> <seed> <output file>\n");
        return 2;
    }
    const auto key = wbgen::parse_key(argv[1]);
    if (!key) {
        std::fprintf(stderr, "wbgen: the key must be 64 hex digits\n");
        return 2;
    }
    const auto tables = wbgen::generate(*key, argv[2]);

    // Write beside the target and rename, so a failed run leaves no short file.
    const std::string tmp = std::string(argv[3]) + ".tmp";
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) {
        std::perror(tmp.c_str());
        return 1;
    }
    const bool written = std::fwrite(tables.data(), 1, tables.size(), f) == tables.size();
    if (std::fclose(f) != 0 || !written) {
        std::perror(tmp.c_str());
        std::remove(tmp.c_str());
        return 1;
    }
    std::remove(argv[3]);
    if (std::rename(tmp.c_str(), argv[3]) != 0) {
        std::perror(argv[3]);
        return 1;
    }
    return 0;
}
