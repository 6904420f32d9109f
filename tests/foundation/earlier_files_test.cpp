// The shift of earlier files in a real folder: the order, the drop of the
// oldest, gaps, and a step the system refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "log/earlier_files.h"
#include "test_files.h"

using namespace launcherwindows::logger;
namespace fs = std::filesystem;

namespace {

// "<content>" per number 0 (the file itself) to 10, "-" where there is none.
std::vector<std::string> generations(const fs::path& file) {
    std::vector<std::string> out;
    for (int n = 0; n <= 10; ++n) {
        const fs::path p = n == 0 ? file : fs::path(file.string() + "." + std::to_string(n));
        out.push_back(fs::is_regular_file(p) ? test_files::read(p) : fs::exists(p) ? "dir" : "-");
    }
    return out;
}

void plant(const fs::path& file, const std::vector<std::string>& by_number) {
    for (std::size_t n = 0; n < by_number.size(); ++n) {
        if (by_number[n] == "-") continue;
        const fs::path p = n == 0 ? file : fs::path(file.string() + "." + std::to_string(n));
        if (by_number[n] == "dir") {
            fs::create_directories(p / "inside");
        } else {
            test_files::write(p, by_number[n]);
        }
    }
}

}  // namespace

TEST(EarlierFiles, MoveOneStepDroppingTheTenthAndStopAtARefusedStep) {
    const std::string _ = "-";
    const struct {
        const char* what;
        std::vector<std::string> before, after;
        bool ok;
    } cases[] = {
        {"all ten", {"g0", "g1", "g2", "g3", "g4", "g5", "g6", "g7", "g8", "g9"},
         {_, "g0", "g1", "g2", "g3", "g4", "g5", "g6", "g7", "g8", _}, true},
        {"gaps", {"g0", _, _, "g3"}, {_, "g0", _, _, "g3", _, _, _, _, _, _}, true},
        {"nothing yet", {}, {_, _, _, _, _, _, _, _, _, _, _}, true},
        // A folder where the oldest is dropped: nothing moves, the file is then emptied as before.
        {"refused", {"g0", "g1", _, _, _, _, _, _, "g8", "dir"}, {"g0", "g1", _, _, _, _, _, _, "g8", "dir", _},
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path dir = test_files::fresh_directory("earlier-files");
        const fs::path file = dir / "launcher.log";
        plant(file, c.before);
        const auto kept = keep_earlier_files(file.string());
        EXPECT_EQ(kept.is_ok(), c.ok);
        EXPECT_EQ(generations(file), c.after);
        if (!kept) {
            EXPECT_EQ(kept.error().rfind(file.string() + ".8 cannot be moved to " + file.string() + ".9: ", 0), 0u)
                << kept.error();
            EXPECT_NE(kept.error().find("(os error "), std::string::npos) << kept.error();
        }
    }
    // No folder at all, as at the first start of an installation.
    EXPECT_TRUE(keep_earlier_files((test_files::fresh_directory("earlier-files") / "none" / "x.log").string()));
}
