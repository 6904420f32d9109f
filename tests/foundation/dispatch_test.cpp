#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "dispatch/dispatch.h"
#include "log/logger.h"
#include "test_files.h"

using namespace launcherwindows;

namespace {

// Records what the dispatch reached, with which arguments.
struct Calls {
    std::vector<std::string> seen;
    bool log_set_up = false;
    std::string cwd, cwd_at_check;
    std::uint32_t cwd_error = 0;
    bool integrity = true;
    StartResult java = start_ok();
    StartResult zentu = start_ok();
    ServiceResult vesmors = service_ok();
    bool error_handle = true, interactive = false;
    std::vector<std::string> windows;  // "<title>: <text>"
    bool windows_on_stderr = false;    // for the death tests, whose calls are lost
};

DispatchOps fake_ops(Calls& c) {
    DispatchOps ops;
    ops.initialize_log = [&c] { c.log_set_up = true; };
    ops.integrity_valid = [&c](std::string_view app) {
        c.seen.push_back("integrity " + std::string(app));
        c.cwd_at_check = c.cwd;
        return c.integrity;
    };
    // A start points a missing standard error at its console file.
    ops.start_java = [&c](std::string_view app, std::string_view) {
        c.seen.push_back("java " + std::string(app));
        c.error_handle = true;
        return c.java;
    };
    ops.start_zentu = [&c](std::string_view arg) {
        c.seen.push_back("zentu [" + std::string(arg) + "]");
        c.error_handle = true;
        return c.zentu;
    };
    ops.start_vesmors = [&c](std::string_view sub) {
        c.seen.push_back("vesmors [" + std::string(sub) + "]");
        return c.vesmors;
    };
    ops.installation_directory = [] { return std::string("INSTALL"); };
    ops.set_working_directory = [&c](const std::string& d) {
        if (c.cwd_error == 0) c.cwd = d;
        return system_result(c.cwd_error);
    };
    ops.desktop.error_handle_given = [&c] { return c.error_handle; };
    ops.desktop.interactive = [&c] { return c.interactive; };
    ops.desktop.show = [&c](const std::string& title, const std::string& text) {
        c.windows.push_back(title + ": " + text);
        if (c.windows_on_stderr) std::fprintf(stderr, "window %s: %s\n", title.c_str(), text.c_str());
    };
    return ops;
}

int run(Calls& c, std::vector<std::string> args, std::string* out = nullptr) {
    testing::internal::CaptureStdout();
    const int status = dispatch(args, fake_ops(c));
    const std::string printed = testing::internal::GetCapturedStdout();
    if (out != nullptr) *out = printed;
    return status;
}

using Seen = std::vector<std::string>;

}  // namespace

TEST(Dispatch, OneElementReturnsAtOnceWithoutLog) {
    Calls c;
    std::string out;
    EXPECT_EQ(run(c, {"C:\\x\\bin\\launcher.exe"}, &out), 0);
    EXPECT_FALSE(c.log_set_up);
    EXPECT_EQ(out, "");
    EXPECT_EQ(run(c, {}, &out), 0);
}

TEST(Dispatch, WordsWithLeadingDashesStartTheirApplication) {
    for (const char* typed : {"ormad", "-ormad", "--ormad", "---ormad"}) {
        Calls c;
        EXPECT_EQ(run(c, {"launcher.exe", typed}), 0) << typed;
        EXPECT_EQ(c.seen, (Seen{"integrity ormad", "java ormad"})) << typed;
        EXPECT_TRUE(c.log_set_up);
    }
    Calls c;
    EXPECT_EQ(run(c, {"launcher.exe", "ormic"}), 0);
    EXPECT_EQ(c.seen, (Seen{"integrity ormic", "java ormic"}));
}

TEST(Dispatch, OtherWordsPrintTheUsageText) {
    // pylor has a class path but starts nothing.
    for (const char* typed :
         {"Ormad", "ormad-", "xormad", "-", "", "start", " ormic", "ormic ", "-o-rmic", "pylor", "--pylor"}) {
        Calls c;
        std::string out;
        EXPECT_EQ(run(c, {"launcher.exe", typed}, &out), 0) << typed;
        EXPECT_EQ(out, kUsageText) << typed;
        EXPECT_TRUE(c.seen.empty()) << typed;
    }
}

TEST(Dispatch, SecondArgumentOnlyWithExactlyThreeElements) {
    Calls c;
    run(c, {"launcher.exe", "zentu"});
    run(c, {"launcher.exe", "zentu", "a"});
    run(c, {"launcher.exe", "zentu", "a", "b"});
    run(c, {"launcher.exe", "vesmors"});
    run(c, {"launcher.exe", "--vesmors", "install"});
    EXPECT_EQ(c.seen, (Seen{"integrity zentu", "zentu []", "integrity zentu", "zentu [a]", "integrity zentu",
                            "zentu []", "integrity vesmors", "vesmors []", "integrity vesmors",
                            "vesmors [install]"}));
    EXPECT_EQ(c.cwd, "");  // zentu and vesmors keep the caller's directory here
}

// The Java starts' relative paths name the installation's files, the ones
// the check verifies, wherever the caller started them.
TEST(Dispatch, JavaStartsEnterTheInstallationDirectoryBeforeTheCheckOrStopThere) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"launcher.exe", "ormic"},
             {"launcher.exe", "--ormad"},
             {"launcher.exe", "vesmors", "daemon"},
             {"C:\\vesmors\\bin\\launcher.exe", "daemon"},
             {"C:\\zentu apps\\bin\\launcher.exe", "vesmors", "daemon"},
         }) {
        SCOPED_TRACE(args[0] + " " + args[1]);
        Calls c;
        EXPECT_EQ(run(c, args), 0);
        EXPECT_EQ(c.cwd_at_check, "INSTALL");
        Calls refused;
        refused.cwd_error = 2;
        EXPECT_EQ(run(refused, args), -1);
        EXPECT_TRUE(refused.seen.empty());  // neither checked nor started
    }
}

TEST(Dispatch, FailedStartsGiveMinusOneAndAFailedServiceCommandZero) {
    Calls c;
    c.java = start_error("boom");
    EXPECT_EQ(run(c, {"launcher.exe", "--ormic"}), -1);
    c.zentu = start_error("no");
    EXPECT_EQ(run(c, {"launcher.exe", "zentu"}), -1);
    c.vesmors = service_error(ServiceError::winapi(5));
    EXPECT_EQ(run(c, {"launcher.exe", "vesmors", "install"}), 0);
}

TEST(Dispatch, InvocationNameFormByPathVesmorsWinningOverZentu) {
    Calls c;
    EXPECT_EQ(run(c, {"C:\\zentu\\vesmors\\bin\\launcher.exe", "install", "extra"}), 0);
    EXPECT_EQ(c.seen, (Seen{"integrity vesmors", "vesmors [install]"}));
    EXPECT_EQ(c.cwd, "INSTALL");

    Calls z;
    EXPECT_EQ(run(z, {"C:\\zentu-tools\\bin\\launcher.exe", "ormic"}), 0);
    EXPECT_EQ(z.seen, (Seen{"integrity zentu", "zentu [ormic]"}));
    EXPECT_EQ(z.cwd, "");

    Calls s;
    s.cwd_error = 5;  // ignored in this form
    s.vesmors = service_error(ServiceError::winapi(1063));
    EXPECT_EQ(run(s, {"D:\\vesmors\\bin\\launcher.exe", "start"}), -1);
    Calls f;
    f.zentu = start_error("missing");
    EXPECT_EQ(run(f, {"D:\\zentu\\bin\\launcher.exe", ""}), -1);
}

// The documented "launcher vesmors <sub-command>" in the service's own
// folder and in zentu's, where the service's start arrives as "vesmors start".
TEST(Dispatch, InvocationNameFormTakesTheServiceWordAsThatWord) {
    const std::string service = "C:\\Halvora vesmors\\bin\\launcher.exe";
    const std::string zentu = "C:\\zentu apps\\bin\\launcher.exe";
    const struct {
        std::string path;
        std::vector<std::string> args;
        Seen seen;
    } cases[] = {
        {service, {"vesmors", "install"}, {"integrity vesmors", "vesmors [install]"}},
        {service, {"--vesmors", "remove", "x"}, {"integrity vesmors", "vesmors [remove]"}},
        {service, {"vesmors"}, {"integrity vesmors", "vesmors []"}},
        {service, {"install"}, {"integrity vesmors", "vesmors [install]"}},
        {service, {"vesmorsx", "install"}, {"integrity vesmors", "vesmors [vesmorsx]"}},
        {service, {"Vesmors", "start"}, {"integrity vesmors", "vesmors [Vesmors]"}},
        {zentu, {"vesmors", "start"}, {"integrity vesmors", "vesmors [start]"}},
        {zentu, {"--vesmors", "install"}, {"integrity vesmors", "vesmors [install]"}},
        {zentu, {"install"}, {"integrity zentu", "zentu [install]"}},
        {zentu, {"vesmorsx", "start"}, {"integrity zentu", "zentu [vesmorsx]"}},
    };
    for (const auto& c : cases) {
        Calls calls;
        std::vector<std::string> args = {c.path};
        args.insert(args.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(run(calls, args), 0);
        EXPECT_EQ(calls.seen, c.seen) << args[0] << " " << args[1];
        EXPECT_EQ(calls.cwd, c.seen[0] == "integrity vesmors" ? "INSTALL" : "") << args[0] << " " << args[1];
    }
}

TEST(Dispatch, InvocationNameIsCaseSensitive) {
    Calls c;
    std::string out;
    EXPECT_EQ(run(c, {"C:\\VESMORS\\bin\\launcher.exe", "install"}, &out), 0);
    EXPECT_EQ(out, kUsageText);
}

TEST(Dispatch, FailedIntegrityIsAFatalStop) {
    Calls c;
    c.integrity = false;
    EXPECT_EXIT(run(c, {"launcher.exe", "-ormad"}), testing::ExitedWithCode(3),
                "^integrity of ormad application in invalid\n$");
    EXPECT_EXIT(run(c, {"C:\\vesmors\\bin\\launcher.exe", "start"}), testing::ExitedWithCode(3),
                "^integrity of vesmors application is invalid\n$");
    EXPECT_EXIT(run(c, {"C:\\zentu\\bin\\launcher.exe", "x"}), testing::ExitedWithCode(3),
                "^integrity of zentu application is invalid\n$");
}

// A failed start is told in a window to a person only: a desktop application
// whose starter gave no standard error, on a desktop that someone sees.
TEST(Dispatch, AFailedDesktopStartIsToldInAWindowWhenNobodyElseSeesItsCause) {
    const auto log = test_files::fresh_directory("failure-window") / "launcher.log";
    ASSERT_TRUE(logger::detail::install(log.string()));
    const std::string cause = "no \"runtime\" in C:\\jre\n(os error 126)";  // told as it is, not quoted
    const std::string cwd_cause = "the working directory cannot be set to the installation directory INSTALL: ";
    const std::string details = "\n\nThe log file has the details:\n";
    const struct {
        std::vector<std::string> args;
        std::uint32_t cwd_error;
        bool fails, error_handle, interactive;
        std::string window;  // "<title>: <cause>", or "" for none
    } rows[] = {
        {{"launcher.exe", "ormic"}, 0, true, false, true, "ormic: " + cause},
        {{"launcher.exe", "--ormad"}, 0, true, false, true, "ormad: " + cause},
        {{"launcher.exe", "ormic"}, 2, false, false, true, "ormic: " + cwd_cause},
        {{"launcher.exe", "ormic"}, 0, true, true, true, ""},    // a terminal, a script, a redirect
        {{"launcher.exe", "ormad"}, 2, false, true, true, ""},
        {{"launcher.exe", "ormic"}, 0, true, false, false, ""},  // a service's or a task's station
        {{"launcher.exe", "ormic"}, 0, false, false, true, ""},  // ended well, or by System.exit
        {{"launcher.exe", "zentu", "x"}, 0, true, false, true, ""},
        {{"launcher.exe", "vesmors", "install"}, 0, true, false, true, ""},
        {{"C:\\zentu\\bin\\launcher.exe", "x"}, 0, true, false, true, ""},
        {{"C:\\vesmors\\bin\\launcher.exe", "start"}, 0, true, false, true, ""},
        {{"launcher.exe", "start"}, 0, true, false, true, ""},  // the usage text
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args[1] + " " + std::to_string(row.error_handle) + std::to_string(row.interactive));
        Calls c;
        c.cwd_error = row.cwd_error;
        c.error_handle = row.error_handle;
        c.interactive = row.interactive;
        if (row.fails) {
            c.java = c.zentu = start_error(cause);
            c.vesmors = service_error(ServiceError::winapi(5));
        }
        const int status = run(c, row.args);
        if (row.window.empty()) {
            EXPECT_TRUE(c.windows.empty()) << c.windows.front();
            continue;
        }
        EXPECT_EQ(status, -1);
        ASSERT_EQ(c.windows.size(), 1u);
        const std::string& shown = c.windows.front();
        EXPECT_EQ(shown.rfind(row.window, 0), 0u) << shown;
        const auto at = shown.find(details);
        ASSERT_NE(at, std::string::npos) << shown;
        EXPECT_TRUE(std::filesystem::equivalent(shown.substr(at + details.size()), log)) << shown;
    }
    logger::detail::uninstall_for_tests();

    // A fatal stop of a desktop start, after its message.
    Calls stop;
    stop.integrity = false;
    stop.error_handle = false;
    stop.interactive = true;
    stop.windows_on_stderr = true;
    EXPECT_EXIT(run(stop, {"launcher.exe", "ormad"}), testing::ExitedWithCode(3),
                "^integrity of ormad application in invalid\nwindow ormad: integrity of ormad application in invalid\n");
    EXPECT_EXIT(run(stop, {"launcher.exe", "zentu"}), testing::ExitedWithCode(3),
                "^integrity of zentu application in invalid\n$");
    stop.error_handle = true;
    EXPECT_EXIT(run(stop, {"launcher.exe", "ormic"}), testing::ExitedWithCode(3),
                "^integrity of ormic application in invalid\n$");
}
