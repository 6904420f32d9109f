// The differential check over every seed of the record corpora, so a plain
// test run (no fuzzing engine) keeps the reader in step with the oracle.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "record_oracle.h"

namespace {

namespace fs = std::filesystem;

TEST(RecordReaderOracle, AgreesOnEverySeed) {
    int seeds = 0;
    for (const char* dir : {"differential", "records"}) {
        for (const auto& entry : fs::directory_iterator(fs::path(LAUNCHER_FUZZ_CORPUS) / dir)) {
            std::ifstream in(entry.path(), std::ios::binary);
            std::ostringstream text;
            text << in.rdbuf();
            const auto mismatch = launcherwindows::fuzz::record_reader_mismatch(text.str());
            EXPECT_FALSE(mismatch) << entry.path() << ": " << *mismatch;
            ++seeds;
        }
    }
    EXPECT_GE(seeds, 20);
}

}  // namespace
