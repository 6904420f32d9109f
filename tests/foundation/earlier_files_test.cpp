// The shift of earlier files in a real folder: the order, the drop of the
// oldest, gaps, a step the system refuses, a held oldest file, and one start
// at a time per folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "log/earlier_files.h"
#include "log/folder_lock.h"
#include "log/log_file.h"
#include "path_rules.h"
#include "test_files.h"

using namespace launcherwindows::logger;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

fs::path numbered(const fs::path& file, int n) {
    return n == 0 ? file : fs::path(file.string() + "." + std::to_string(n));
}

// "<content>" per number 0 (the file itself) to 10, "-" where there is none.
std::vector<std::string> generations(const fs::path& file) {
    std::vector<std::string> out;
    for (int n = 0; n <= 10; ++n) {
        const fs::path p = numbered(file, n);
        out.push_back(fs::is_regular_file(p) ? test_files::read(p) : fs::exists(p) ? "dir" : "-");
    }
    return out;
}

void plant(const fs::path& file, const std::vector<std::string>& by_number) {
    for (std::size_t n = 0; n < by_number.size(); ++n) {
        if (by_number[n] == "-") continue;
        const fs::path p = numbered(file, static_cast<int>(n));
        if (by_number[n] == "dir") {
            fs::create_directories(p / "inside");
        } else {
            test_files::write(p, by_number[n]);
        }
    }
}

}  // namespace

TEST(EarlierFiles, MoveOneStepDroppingTheTenthOrTheOldestNobodyHolds) {
    const std::string _ = "-";
    const std::vector<std::string> all_ten = {"g0", "g1", "g2", "g3", "g4", "g5", "g6", "g7", "g8", "g9"};
    const struct {
        const char* what;
        std::vector<std::string> before, after;
        std::vector<int> held;     // the numbers of files another process holds open
        const char* refused = "";  // what the reason begins with, after the file's path
    } cases[] = {
        {"all ten", all_ten, {_, "g0", "g1", "g2", "g3", "g4", "g5", "g6", "g7", "g8", _}, {}},
        {"gaps", {"g0", _, _, "g3"}, {_, "g0", _, _, "g3", _, _, _, _, _, _}, {}},
        {"nothing yet", {}, {_, _, _, _, _, _, _, _, _, _, _}, {}},
        // A writer's file is never dropped: the oldest free one makes room below it.
        {"the oldest held", all_ten, {_, "g0", "g1", "g2", "g3", "g4", "g5", "g6", "g7", "g9", _}, {9}},
        {"held ones in the middle", all_ten, {_, "g0", "g1", "g2", "g3", "g4", "g5", "g6", "g8", "g9", _}, {9, 8, 4}},
        // ... or a gap below it, and nothing is dropped.
        {"the oldest held, a gap below it", {"g0", "g1", "g2", "g3", "g4", _, "g6", "g7", "g8", "g9"},
         {_, "g0", "g1", "g2", "g3", "g4", "g6", "g7", "g8", "g9", _}, {9}},
        {"the oldest not a file", {"g0", "g1", _, _, _, _, _, _, "g8", "dir"},
         {_, "g0", "g1", _, _, _, _, _, "g8", "dir", _}, {}},
        {"the oldest held, a gap before it", {"g0", "g1", _, _, _, _, _, _, _, "g9"},
         {_, "g0", "g1", _, _, _, _, _, _, "g9", _}, {9}},
        // Nothing can make room: nothing moves, and the file is then written on.
        {"all nine held", all_ten, {"g0", "g1", "g2", "g3", "g4", "g5", "g6", "g7", "g8", "g9", _},
         {1, 2, 3, 4, 5, 6, 7, 8, 9}, ".1 to "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path dir = test_files::fresh_directory("earlier-files");
        const fs::path file = dir / "launcher.log";
        plant(file, c.before);
        // Held as our own writers hold their files: with delete sharing.
        std::vector<std::unique_ptr<LogFile>> holders;
        for (const int n : c.held) {
            holders.push_back(std::make_unique<LogFile>());
            ASSERT_TRUE(holders.back()->open(numbered(file, n).string()));
        }
        const auto kept = keep_earlier_files(file.string());
        holders.clear();
        EXPECT_EQ(kept.is_ok(), *c.refused == '\0');
        EXPECT_EQ(generations(file), c.after);
        if (!kept) {
            EXPECT_EQ(kept.error().rfind(file.string() + c.refused, 0), 0u) << kept.error();
            EXPECT_NE(kept.error().find("(os error "), std::string::npos) << kept.error();
        }
    }
    // No folder at all, as at the first start of an installation.
    EXPECT_TRUE(keep_earlier_files((test_files::fresh_directory("earlier-files") / "none" / "x.log").string()));
}

// Another start's moves in the same folder, however its path is spelt: a
// start waits for them, and after its wait moves nothing and writes on.
TEST(EarlierFiles, OneStartAtATimeMovesAFoldersFilesUntilItsNewFileIsOpen) {
    const fs::path dir = test_files::fresh_directory("earlier-files-lock");
    fs::create_directories(dir / "other");
    const fs::path file = dir / "launcher.log";
    plant(file, {"g0", "g1"});
    std::vector<std::string> spellings = {(dir / "other" / "..").string()};
    // Windows compares file names without case.
    if (launcherwindows::kPathSeparator == '\\') {
        std::string upper = dir.string();
        std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
        spellings.push_back(upper);
    }
    // From another thread: on Windows a thread may take its own lock again.
    const auto taken_as = [](const std::string& folder) {
        return std::async(std::launch::async, [&] { return FolderLock::take(folder, 50ms).is_ok(); }).get();
    };
    for (const std::string& folder : spellings) {
        SCOPED_TRACE(folder);
        const auto held = FolderLock::take(folder, 0ms);
        ASSERT_TRUE(held);
        // One start's files: its wait times out once, and its later files
        // are written on at once, without a reason of their own.
        LockWaits waits(50ms);
        for (const fs::path& f : {file, dir / "launcher-cpp.log"}) {
            bool opened = false;
            const auto not_kept = std::async(std::launch::async, [&] {
                                      return keep_earlier_files_and_open(f.string(), [&] { opened = true; }, waits);
                                  }).get();
            EXPECT_TRUE(opened);
            EXPECT_EQ(waits.left(), 0ms);
            if (f != file) {
                EXPECT_FALSE(not_kept) << *not_kept;
                continue;
            }
            ASSERT_TRUE(not_kept);
            EXPECT_EQ(not_kept->rfind(file.string() + " cannot be moved to " + file.string() + ".1: ", 0), 0u)
                << *not_kept;
        }
        EXPECT_EQ(generations(file)[0], "g0");
    }
    bool held_while_opening = false;
    EXPECT_FALSE(keep_earlier_files_and_open(file.string(), [&] { held_while_opening = !taken_as(spellings[0]); }));
    EXPECT_TRUE(held_while_opening);
    EXPECT_TRUE(taken_as(spellings[0]));
    EXPECT_EQ(generations(file), (std::vector<std::string>{"-", "g0", "g1", "-", "-", "-", "-", "-", "-", "-", "-"}));
}
