// The real launcher.exe under Wine: start-up lines, dispatch and the log.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <regex>

#include "harness.h"

using namespace wine_harness;

namespace {

const std::string kUsage = "usage:\nlauncher <app>\n    app can be ormic, ormad, zentu, vesmors.\n";
const std::string kStamp = R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d(\.\d{3}|\.\d{6}|\.\d{9})?[+-]\d\d:\d\d)";

std::string startup_lines(const Tree& t) { return windows_path(t.exe) + "\nStarting launcher"; }

}  // namespace

TEST(WineDispatch, NoArgumentPrintsTwoLinesAndLeavesTheLogAlone) {
    const Tree t = make_tree("plain/no-arg");
    RunResult r = run(t, {});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, startup_lines(t));
    EXPECT_FALSE(fs::exists(t.log_file()));

    write_file(t.log_file(), "an earlier log\r\n");
    r = run(t, {});
    EXPECT_EQ(r.log, "an earlier log\r\n");
}

TEST(WineDispatch, UnknownWordPrintsUsageOnTheStartLineAndLogsExactly) {
    const Tree t = make_tree("plain/unknown");
    const RunResult r = run(t, {.args = {"Ormad"}});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, startup_lines(t) + kUsage);
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(std::regex_match(r.log, std::regex(kStamp + " INFO launcherwindows - using launcher executable for startup\r\n\n" +
                                                   kStamp + " INFO launcherwindows - Entry:: Ormad\n\r\n\n")))
        << r.log;
}

TEST(WineDispatch, WordsThatMustNotMatch) {
    const Tree t = make_tree("plain/words");
    for (const char* word : {"ormad-", "xormad", "-", "start", "ORMIC", "vesmors "}) {
        const RunResult r = run(t, {.args = {word}});
        EXPECT_EQ(r.status, 0) << word;
        EXPECT_EQ(r.out, startup_lines(t) + kUsage) << word;
    }
}

TEST(WineDispatch, FailedJavaStartLogsTwoErrorsWithTheWordAsTyped) {
    const Tree t = make_tree("plain/java");
    const RunResult r = run(t, {.args = {"--ormic"}});
    EXPECT_EQ(r.status, 255);  // -1
    const auto m = log_messages(r.log);
    ASSERT_GE(m.size(), 5u) << r.log;
    EXPECT_EQ(m[0], "INFO using launcher executable for startup");
    EXPECT_EQ(m[1], "INFO Entry:: --ormic\n");
    EXPECT_EQ(m[2], "INFO Performing integrity check on the files......");
    EXPECT_EQ(m[m.size() - 2], "ERROR error while starting up --ormic");
    EXPECT_EQ(m.back().rfind("ERROR Application error: \"", 0), 0u) << m.back();
    EXPECT_EQ(m.back().back(), '"');
}

TEST(WineDispatch, EachStartEmptiesTheLogAndCreatesMissingDirectories) {
    const Tree t = make_tree("plain/again");
    EXPECT_FALSE(fs::exists(t.root / "launcher-logs"));
    RunResult first = run(t, {.args = {"first-word"}});
    EXPECT_NE(first.log.find("Entry:: first-word"), std::string::npos);
    RunResult second = run(t, {.args = {"second-word"}});
    EXPECT_EQ(second.log.find("first-word"), std::string::npos);
    EXPECT_NE(second.log.find("Entry:: second-word"), std::string::npos);
}

namespace {

// The zone's offset from UTC at this moment, daylight saving included, as
// "+hh:mm".
std::string offset_now(const char* zone) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    setenv("TZ", zone, 1);
    tzset();
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    old ? setenv("TZ", saved.c_str(), 1) : unsetenv("TZ");
    tzset();
    const long minutes = tm.tm_gmtoff / 60;
    char text[8];
    std::snprintf(text, sizeof text, "%c%02ld:%02ld", minutes < 0 ? '-' : '+', std::labs(minutes) / 60,
                  std::labs(minutes) % 60);
    return text;
}

}  // namespace

TEST(WineDispatch, LocalOffsetFollowsTheTimeZone) {
    const Tree t = make_tree("plain/tz");
    // Berlin and Sydney keep daylight saving in opposite halves of the year,
    // so that one of them is in it on any date.
    for (const char* zone :
         {"Asia/Kolkata", "Asia/Kathmandu", "UTC", "America/Caracas", "Europe/Berlin", "Australia/Sydney"}) {
        const std::string offset = offset_now(zone);
        const RunResult r = run(t, {.args = {"x"}, .env = {{"TZ", zone}}});
        const auto records = log_records(r.log);
        ASSERT_FALSE(records.empty()) << zone;
        // A change of offset while the start ran would show in the host's too.
        if (offset_now(zone) != offset) continue;
        for (const auto& rec : records) {
            EXPECT_EQ(rec.substr(rec.find(' ') - 6, 6), offset) << zone << ": " << rec;
        }
    }
}

TEST(WineDispatch, NonAsciiInstallationPathAndArgumentsArriveAsUtf8) {
    const Tree t = make_tree("Sü\xC3\xAFte \xE2\x98\x83/nested");
    const RunResult r = run(t, {.args = {"caf\xC3\xA9-\xF0\x9F\x98\x80"}});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, startup_lines(t) + kUsage);
    ASSERT_TRUE(fs::exists(t.log_file()));
    EXPECT_NE(r.log.find("Entry:: caf\xC3\xA9-\xF0\x9F\x98\x80\n"), std::string::npos) << r.log;
}

TEST(WineDispatch, InvocationNameFormTakesTheNextElementAsSubCommand) {
    const Tree both = make_tree("zentu/vesmors/inv");
    RunResult r = run(both, {.args = {"no-such-sub-command"}});
    auto m = log_messages(r.log);
    ASSERT_FALSE(m.empty());
    EXPECT_EQ(m[0], "INFO starting vesmors windows service");

    const Tree z = make_tree("zentu-tools/inv");
    r = run(z, {.args = {"ormic"}});
    m = log_messages(r.log);
    ASSERT_FALSE(m.empty());
    EXPECT_EQ(m[0], "INFO starting zentu");
    EXPECT_EQ(r.log.find("Entry::"), std::string::npos);
}

TEST(WineDispatch, IntegrityFailureIsAFatalStop) {
    const fs::path failing = windows_build_dir() / "tests" / "foundation" / "launcher_integrity_fail.exe";
    const Tree t = make_tree("plain/integrity", failing);
    const fs::path intact = t.root / "lib" / "café-3.3.4.2.jar";  // ormad's, a name beyond ASCII
    write_file(intact, "abc");

    RunResult r = run(t, {.args = {"-ormic"}});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "integrity of ormic application in invalid\n");
    auto m = log_messages(r.log);
    ASSERT_FALSE(m.empty());
    EXPECT_EQ(m.back(), "ERROR integrity of ormic application failed");

    r = run(t, {.args = {"ormad"}});  // its listed file is intact: the start goes on
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.err, "");
    write_file(intact, "abd");
    r = run(t, {.args = {"ormad"}});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "integrity of ormad application in invalid\n");

    // The invocation-name forms: one record, then the stop, before any load.
    for (const std::string app : {"vesmors", "zentu"}) {
        const Tree v = make_tree(app + "/integrity", failing);
        fs::copy_file(windows_build_dir() / "tests" / "doubles" / "enrolclientsvc" / "libenrolclientsvc.dll",
                      v.root / "bin" / "libenrolclientsvc.dll");
        r = run(v, {.args = {"start"}, .env = {{"ENROLCLIENTSVC_RECORD", windows_path(v.root / "called.txt")}}});
        EXPECT_EQ(r.status, 3);
        EXPECT_EQ(r.err, "integrity of " + app + " application is invalid\n");
        EXPECT_EQ(log_messages(r.log), (std::vector<std::string>{app == "zentu" ? "INFO starting zentu"
                                                                                : "INFO starting vesmors windows service"}));
        EXPECT_FALSE(fs::exists(v.root / "called.txt"));  // never loaded
    }
}

// A typed line break cannot make a record of its own.
TEST(WineDispatch, AnArgumentCannotForgeARecord) {
    const Tree t = make_tree("plain/forge");
    const std::string forged = "2026-12-09T10:00:00.000+01:00 ERROR launcherwindows - forged";
    const RunResult r = run(t, {.args = {"x\r\n\n" + forged}});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(log_messages(r.log), (std::vector<std::string>{"INFO using launcher executable for startup",
                                                            "INFO Entry:: x\\r\\n\\n" + forged + "\n"}));
}
