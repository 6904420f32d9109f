// The log under load: many threads at once, and another writer emptying the
// file underneath, as a second launcher starting up does.
#include <gtest/gtest.h>

#include <atomic>
#include <charconv>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "log/logger.h"
#include "test_files.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace launcherwindows::logger;

namespace {

constexpr std::string_view kEnd = "\r\n\n";
constexpr std::string_view kHead = " INFO launcherwindows - soak ";

std::size_t padding(int thread, int record) { return static_cast<std::size_t>((thread * 7 + record) % 61); }

std::string message(int thread, int record) {
    return "soak " + std::to_string(thread) + " " + std::to_string(record) + " " +
           std::string(padding(thread, record), 'x');
}

bool read_int(std::string_view& s, int& out) {
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    if (ec != std::errc{}) return false;
    s.remove_prefix(static_cast<std::size_t>(p - s.data()));
    return true;
}

// Parses "<time> INFO launcherwindows - soak <t> <i> x..." exactly.
bool parse(std::string_view record, int& thread, int& index) {
    const auto head = record.find(kHead);
    if (head == std::string_view::npos || head < 20) return false;
    if (record.find(' ') != head) return false;  // the time has no spaces
    record.remove_prefix(head + kHead.size());
    if (!read_int(record, thread) || record.empty() || record[0] != ' ') return false;
    record.remove_prefix(1);
    if (!read_int(record, index) || record.empty() || record[0] != ' ') return false;
    record.remove_prefix(1);
    if (thread < 0 || index < 0) return false;
    return record == std::string(padding(thread, index), 'x');
}

// Splits at the record ending; false if the text does not end with one.
bool split_records(std::string_view text, std::vector<std::string_view>& out) {
    while (!text.empty()) {
        const auto end = text.find(kEnd);
        if (end == std::string_view::npos) return false;
        out.push_back(text.substr(0, end));
        text.remove_prefix(end + kEnd.size());
    }
    return true;
}

class LogSoakTest : public testing::Test {
protected:
    void SetUp() override {
        dir_ = test_files::fresh_directory("log-soak");
        path_ = (dir_ / "launcher-logs" / "launcher.log").string();
    }
    void TearDown() override {
        detail::uninstall_for_tests();
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    std::filesystem::path dir_;
    std::string path_;
};

TEST_F(LogSoakTest, EightyThousandRecordsFromEightThreadsAreWholeAndCountedOnce) {
    ASSERT_TRUE(detail::install(path_));
    constexpr int kThreads = 8, kRecords = 10000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < kRecords; ++i) info(kTargetMain, message(t, i));
        });
    }
    for (auto& th : threads) th.join();

    const std::string content = test_files::read(path_);
    std::vector<std::string_view> records;
    ASSERT_TRUE(split_records(content, records)) << "the file ends inside a record";
    ASSERT_EQ(records.size(), std::size_t{kThreads} * kRecords);
    std::vector<char> seen(std::size_t{kThreads} * kRecords, 0);
    std::vector<int> next(kThreads, 0);  // each thread's records stay in order
    for (const auto record : records) {
        int t = -1, i = -1;
        ASSERT_TRUE(parse(record, t, i)) << record;
        ASSERT_LT(t, kThreads) << record;
        ASSERT_LT(i, kRecords) << record;
        char& once = seen[static_cast<std::size_t>(t) * kRecords + static_cast<std::size_t>(i)];
        ASSERT_EQ(once, 0) << "twice: " << record;
        once = 1;
        ASSERT_EQ(i, next[static_cast<std::size_t>(t)]) << record;
        ++next[static_cast<std::size_t>(t)];
    }
}

// The other writer empties the file in a loop and looks at what is left;
// returns how many looks found a zero byte.
#ifdef _WIN32
// A second handle opened with TRUNCATE_EXISTING, from another thread.
int empty_repeatedly(const std::string& path, int rounds) {
    int zeros = 0;
    for (int k = 0; k < rounds; ++k) {
        test_files::truncate(path);
        Sleep(0);
        if (test_files::read(path).find('\0') != std::string::npos) ++zeros;
    }
    return zeros;
}
#else
// Runs in a forked child: system calls only.
int empty_repeatedly(const char* path, int rounds) {
    static char buf[1 << 16];
    int zeros = 0;
    for (int k = 0; k < rounds; ++k) {
        const int w = ::open(path, O_WRONLY | O_TRUNC);
        if (w >= 0) ::close(w);
        ::usleep(100);
        const int r = ::open(path, O_RDONLY);
        if (r < 0) continue;
        ssize_t n;
        bool zero = false;
        while ((n = ::read(r, buf, sizeof buf)) > 0) {
            if (std::memchr(buf, 0, static_cast<std::size_t>(n)) != nullptr) zero = true;
        }
        ::close(r);
        if (zero) ++zeros;
    }
    return zeros;
}
#endif

#ifdef _WIN32
bool under_wine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}
#else
bool under_wine() { return false; }
#endif

TEST_F(LogSoakTest, AnotherWriterEmptyingTheFileNeverLeavesZeroBytes) {
    // Wine writes "at the end of file" as a size look-up and then a positioned
    // write, so a truncation in between leaves a run of zero bytes; Windows
    // does it in one step. Under Wine only whole records are required.
    const bool zero_runs_possible = under_wine();
    ASSERT_TRUE(detail::install(path_));
    info(kTargetMain, message(0, 0));
    constexpr int kThreads = 4, kRounds = 1500;
    std::atomic<bool> stop{false};
    std::atomic<int> written{0};
    auto writer = [&](int t) {
        for (int i = 0; !stop.load(); ++i) {
            info(kTargetMain, message(t, i));
            written.fetch_add(1);
        }
    };
    int zero_looks = 0;
#ifdef _WIN32
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) threads.emplace_back(writer, t);
    zero_looks = empty_repeatedly(path_, kRounds);
#else
    // Forked before any writer thread starts, so the child owns no locks.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) ::_exit(empty_repeatedly(path_.c_str(), kRounds) > 0 ? 1 : 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) threads.emplace_back(writer, t);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    zero_looks = WEXITSTATUS(status);
#endif
    stop = true;
    for (auto& th : threads) th.join();
    std::string content = test_files::read(path_);
    if (zero_runs_possible) {
        std::erase(content, '\0');
    } else {
        EXPECT_EQ(zero_looks, 0) << "the other writer saw zero bytes";
        EXPECT_EQ(content.find('\0'), std::string::npos) << "a writer kept its own offset past the end";
    }
    std::vector<std::string_view> records;
    ASSERT_TRUE(split_records(content, records)) << "the file ends inside a record";
    EXPECT_LT(records.size(), static_cast<std::size_t>(written.load())) << "nothing was ever emptied";
    for (const auto record : records) {
        int t = -1, i = -1;
        ASSERT_TRUE(parse(record, t, i)) << record;
    }
}

}  // namespace
