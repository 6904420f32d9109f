#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "log/logger.h"
#include "test_files.h"

using namespace launcherwindows::logger;

namespace {
LocalTime at(std::uint32_t nanos, int offset) { return {2026, 12, 7, 23, 55, 45, nanos, offset}; }
}  // namespace

TEST(Timestamp, FractionUsesTheFewestOf369DigitsAndNoneForZero) {
    EXPECT_EQ(format_timestamp(at(0, 60)), "2026-12-07T23:55:45+01:00");
    EXPECT_EQ(format_timestamp(at(120000000, 60)), "2026-12-07T23:55:45.120+01:00");
    EXPECT_EQ(format_timestamp(at(1000000, 0)), "2026-12-07T23:55:45.001+00:00");
    EXPECT_EQ(format_timestamp(at(123456000, 0)), "2026-12-07T23:55:45.123456+00:00");
    EXPECT_EQ(format_timestamp(at(1000, 0)), "2026-12-07T23:55:45.000001+00:00");
    EXPECT_EQ(format_timestamp(at(123456700, 60)), "2026-12-07T23:55:45.123456700+01:00");
    EXPECT_EQ(format_timestamp(at(1, 0)), "2026-12-07T23:55:45.000000001+00:00");
}

TEST(Timestamp, OffsetsWithHalfAndThreeQuarterHoursAndNegativeOnes) {
    EXPECT_EQ(format_timestamp(at(0, 330)), "2026-12-07T23:55:45+05:30");
    EXPECT_EQ(format_timestamp(at(0, 345)), "2026-12-07T23:55:45+05:45");
    EXPECT_EQ(format_timestamp(at(0, -210)), "2026-12-07T23:55:45-03:30");
    EXPECT_EQ(format_timestamp(at(0, -600)), "2026-12-07T23:55:45-10:00");
    LocalTime early{7, 1, 2, 3, 4, 5, 0, 0};
    EXPECT_EQ(format_timestamp(early), "0007-01-02T03:04:05+00:00");
}

TEST(Record, LayoutEndsWithCrLfLfAndHasNoLevelPadding) {
    EXPECT_EQ(format_record(at(0, 0), Level::Info, "launcherwindows", "hello"),
              "2026-12-07T23:55:45+00:00 INFO launcherwindows - hello\r\n\n");
    EXPECT_EQ(format_record(at(0, 0), Level::Error, "t", "m\n"),
              "2026-12-07T23:55:45+00:00 ERROR t - m\n\r\n\n");
    EXPECT_EQ(format_record(at(0, 0), Level::Warn, "t", ""), "2026-12-07T23:55:45+00:00 WARN t - \r\n\n");
}

class LogFileTest : public testing::Test {
protected:
    void SetUp() override {
        dir_ = test_files::fresh_directory("logger");
        path_ = (dir_ / "deep" / "er" / "launcher.log").string();
    }
    void TearDown() override { detail::uninstall_for_tests(); }
    std::filesystem::path dir_;
    std::string path_;
};

TEST_F(LogFileTest, CreatesDirectoriesAndWritesOnlyInfoAndAbove) {
    ASSERT_TRUE(detail::install(path_));
    EXPECT_FALSE(detail::install(path_));  // a second logger is refused
    write(Level::Debug, kTargetMain, "dropped");
    write(Level::Trace, kTargetMain, "dropped");
    info(kTargetMain, "kept");
    error(kTargetInit, "Entry:: x\n");
    EXPECT_TRUE(enabled(Level::Info));
    EXPECT_FALSE(enabled(Level::Debug));
    const std::string content = test_files::read(path_);  // readable while open
    const std::string ts = R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d(\.\d{3}|\.\d{6}|\.\d{9})?[+-]\d\d:\d\d)";
    EXPECT_TRUE(std::regex_match(content, std::regex(ts + " INFO launcherwindows - kept\r\n\n" + ts +
                                                     " ERROR launcherwindows::init - Entry:: x\n\r\n\n")))
        << content;
}

// A file that could not be moved aside holds an earlier start's records:
// they stay, and the new ones follow them.
TEST_F(LogFileTest, AFileThatIsThereIsWrittenOnAtItsEndNeverEmptied) {
    test_files::write(path_, "records of an earlier start\n");
    ASSERT_TRUE(detail::install(path_));
    info(kTargetMain, "new");
    const std::string content = test_files::read(path_);
    EXPECT_EQ(content.rfind("records of an earlier start\n", 0), 0u) << content;
    EXPECT_NE(content.find(" - new\r\n\n"), std::string::npos) << content;
}

TEST_F(LogFileTest, WritesAtTheEndAfterAnotherWriterEmptiedTheFile) {
    ASSERT_TRUE(detail::install(path_));
    info(kTargetMain, std::string(500, 'a'));
    test_files::truncate(path_);  // as a second process starting up does
    info(kTargetMain, "after");
    const std::string content = test_files::read(path_);
    EXPECT_EQ(content.find('\0'), std::string::npos) << "zero bytes: writer kept its own offset";
    EXPECT_LT(content.size(), 200u);
    EXPECT_NE(content.find("after"), std::string::npos);
}

TEST_F(LogFileTest, RecordsFromManyThreadsNeverInterleave) {
    ASSERT_TRUE(detail::install(path_));
    constexpr int kThreads = 8, kRecords = 500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < kRecords; ++i) {
                info(kTargetMain, "thread " + std::to_string(t) + " record " + std::to_string(i) + " " +
                                      std::string(static_cast<std::size_t>(i % 97), 'x'));
            }
        });
    }
    for (auto& th : threads) th.join();
    std::istringstream lines(test_files::read(path_));
    std::string line;
    int records = 0;
    const std::regex one(R"(\S+ INFO launcherwindows - thread \d record \d+ x*\r)");
    while (std::getline(lines, line)) {
        if (line.empty()) continue;
        ASSERT_TRUE(std::regex_match(line, one)) << line;
        ++records;
    }
    EXPECT_EQ(records, kThreads * kRecords);
}

TEST_F(LogFileTest, UnwritableLocationLeavesTheProgramRunning) {
    test_files::write((dir_ / "file").string(), "x");
    // A directory cannot be made below a plain file.
    testing::internal::CaptureStderr();
    ASSERT_TRUE(detail::install((dir_ / "file" / "sub" / "launcher.log").string()));
    info(kTargetMain, "lost");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("cannot open"), std::string::npos) << err;
}

#ifndef _WIN32
TEST_F(LogFileTest, ARecordThatCannotBeWrittenCostsOneLineOnStandardErrorAndTheProgramGoesOn) {
    ASSERT_TRUE(detail::install("/dev/full"));  // opens; every write fails with ENOSPC
    testing::internal::CaptureStderr();
    info(kTargetMain, "one");
    error(kTargetInit, "two");
    debug(kTargetMain, "filtered: no line");
    info(kTargetMain, "three");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 3) << err;
    EXPECT_NE(err.find("No space left on device"), std::string::npos) << err;
    EXPECT_TRUE(enabled(Level::Info));
}
#endif
