// Install and remove against a control manager of the test's own: what is
// asked of it, in which order, what is returned, and that every handle is
// closed once, on every path.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "dispatch/dispatch.h"
#include "install_service/service_commands.h"
#include "install_service/service_manager.h"
#include "log/logger.h"
#include "test_files.h"

using namespace launcherwindows;
using namespace launcherwindows::install_service;

namespace {

constexpr std::uint32_t kRunning = 4, kStopPending = 3;

struct FakeManager {
    // What the calls answer.
    HandleResult service = HandleResult::ok(0);
    // The query's answers in turn, the last one again and again.
    std::vector<StatusResult> statuses = {StatusResult::ok({kRunning, 0x105})};
    std::uint32_t preshutdown_error = 0;
    StateResult stop_reply = StateResult::ok(kStopPending);
    std::uint32_t delete_error = 0;
    HandleResult created = HandleResult::ok(0);
    std::string exe = "C:\\A B\\vesmors\\bin\\launcher.exe";

    std::vector<std::string> calls;
    std::map<ScHandle, int> open;  // handle -> times closed
    ScHandle next = 0x100;

    ScHandle opened() {
        open[++next] = 0;
        return next;
    }
    ServiceManager manager() {
        ServiceManager m;
        m.open_manager = [this](std::uint32_t access) {
            calls.push_back("open manager " + std::to_string(access));
            return HandleResult::ok(opened());
        };
        m.create_service = [this](ScHandle, const std::string& name, const std::string& display, std::uint32_t access,
                                  const std::string& command) {
            calls.push_back("create " + name + "|" + display + "|" + std::to_string(access) + "|" + command);
            return created ? HandleResult::ok(opened()) : created;
        };
        m.open_service = [this](ScHandle, const std::string& name, std::uint32_t access) {
            calls.push_back("open " + name + " " + std::to_string(access));
            return service ? HandleResult::ok(opened()) : service;
        };
        m.query_status = [this](ScHandle) {
            calls.push_back("query");
            const StatusResult answer = statuses.front();
            if (statuses.size() > 1) statuses.erase(statuses.begin());
            return answer;
        };
        m.set_preshutdown_timeout = [this](ScHandle, std::uint32_t ms) {
            calls.push_back("preshutdown " + std::to_string(ms));
            return system_result(preshutdown_error);
        };
        m.send_stop = [this](ScHandle) {
            calls.push_back("stop");
            return stop_reply;
        };
        m.delete_service = [this](ScHandle) {
            calls.push_back("delete");
            return system_result(delete_error);
        };
        m.close = [this](ScHandle h) {
            calls.push_back("close " + std::to_string(h - 0x100));
            ++open.at(h);
        };
        m.sleep = [this](std::uint32_t ms) { calls.push_back("sleep " + std::to_string(ms)); };
        m.executable_path = [this] { return ModulePath::ok(exe); };
        return m;
    }
    bool every_handle_closed_once() const {
        for (const auto& [h, closed] : open) {
            if (closed != 1) return false;
        }
        return true;
    }
};

using Calls = std::vector<std::string>;
const Calls kOpened = {"open manager 1", "open vesmors 65572", "query"};
Calls opened_then(Calls tail) {
    Calls all = kOpened;
    all.insert(all.end(), tail.begin(), tail.end());
    return all;
}

// The remove's looks at a service it waits for: a pause, a query, each time.
Calls polls(int n) {
    Calls all;
    for (int i = 0; i < n; ++i) all.insert(all.end(), {"sleep 200", "query"});
    return all;
}
Calls operator+(Calls a, const Calls& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
const Calls kDeleted = {"delete", "close 2", "close 1"};
const Calls kLeft = {"close 2", "close 1"};
StatusResult status(std::uint32_t state, std::uint32_t accepted = 0) { return StatusResult::ok({state, accepted}); }

std::string outcome(const ServiceResult& r) { return r ? "ok" : r.error().diagnostic().substr(0, r.error().diagnostic().find(':')); }

}  // namespace

TEST(RemoveCommand, AsksTheManagerInOrderAndClosesEveryHandle) {
    const struct Case {
        const char* what;
        void (*set)(FakeManager&);
        const char* result;
        Calls calls;
    } cases[] = {
        // Deleted once it has stopped, not before: its server holds the installation's files.
        {"running", [](FakeManager& f) { f.statuses = {status(4, 0x105), status(3), status(3), status(1)}; }, "ok",
         opened_then(Calls{"stop"} + polls(3) + kDeleted)},
        {"stopped: no request, no wait", [](FakeManager& f) { f.statuses = {status(1)}; }, "ok",
         opened_then(kDeleted)},
        {"the stop's reply is Stopped", [](FakeManager& f) { f.stop_reply = StateResult::ok(1); }, "ok",
         opened_then(Calls{"stop"} + kDeleted)},
        // A second request would be refused.
        {"stopping already", [](FakeManager& f) { f.statuses = {status(3), status(3), status(1)}; }, "ok",
         opened_then(polls(2) + kDeleted)},
        {"starting: its stop once it runs",
         [](FakeManager& f) { f.statuses = {status(2), status(2), status(4, 0x105), status(3), status(1)}; }, "ok",
         opened_then(polls(2) + Calls{"stop"} + polls(2) + kDeleted)},
        {"starting, and it stops by itself", [](FakeManager& f) { f.statuses = {status(2), status(1)}; }, "ok",
         opened_then(polls(1) + kDeleted)},
        {"running, takes the stop only later",
         [](FakeManager& f) { f.statuses = {status(4, 0x4), status(4, 0x105), status(1)}; }, "ok",
         opened_then(polls(1) + Calls{"stop"} + polls(1) + kDeleted)},
        {"began to stop since the query",
         [](FakeManager& f) {
             f.statuses = {status(4, 0x105), status(3), status(1)};
             f.stop_reply = StateResult::err(1061);
         },
         "ok", opened_then(Calls{"stop", "query"} + polls(1) + kDeleted)},
        {"stopped since the query",
         [](FakeManager& f) {
             f.statuses = {status(4, 0x105), status(1)};
             f.stop_reply = StateResult::err(1062);
         },
         "ok", opened_then(Calls{"stop", "query"} + kDeleted)},
        // 25 s, the stop's 20 s bound and 5 s to report and end; left installed.
        {"the stop outlasts the bound", [](FakeManager& f) { f.statuses = {status(4, 0x105), status(3)}; },
         "NotStopped(3", opened_then(Calls{"stop"} + polls(125) + kLeft)},
        {"the start outlasts the bound", [](FakeManager& f) { f.statuses = {status(2)}; }, "NotStopped(2",
         opened_then(polls(125) + kLeft)},
        {"a query fails while it stops", [](FakeManager& f) { f.statuses = {status(4, 0x105), StatusResult::err(6)}; },
         "Winapi(6", opened_then(Calls{"stop"} + polls(1) + kLeft)},
        {"the service refuses the stop", [](FakeManager& f) { f.stop_reply = StateResult::err(1052); }, "Winapi(1052",
         opened_then({"stop", "close 2", "close 1"})},
        {"it cannot accept the control, and runs on", [](FakeManager& f) { f.stop_reply = StateResult::err(1061); },
         "Winapi(1061", opened_then({"stop", "query", "close 2", "close 1"})},
        {"the stop reply has no known state", [](FakeManager& f) { f.stop_reply = StateResult::ok(0); },
         "InvalidServiceState(0)", opened_then({"stop", "close 2", "close 1"})},
        {"the query has no known state", [](FakeManager& f) { f.statuses = {StatusResult::ok({8, 1})}; },
         "InvalidServiceState(8)", opened_then({"close 2", "close 1"})},
        {"the query fails", [](FakeManager& f) { f.statuses = {StatusResult::err(5)}; }, "Winapi(5",
         opened_then({"close 2", "close 1"})},
        {"not installed", [](FakeManager& f) { f.service = HandleResult::err(1060); }, "Winapi(1060",
         {"open manager 1", "open vesmors 65572", "close 1"}},
        {"the delete fails",
         [](FakeManager& f) {
             f.stop_reply = StateResult::ok(1);
             f.delete_error = 1072;
         },
         "Winapi(1072", opened_then(Calls{"stop"} + kDeleted)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeManager fake;
        c.set(fake);
        EXPECT_EQ(outcome(remove(fake.manager())), c.result);
        EXPECT_EQ(fake.calls, c.calls);
        EXPECT_TRUE(fake.every_handle_closed_once());
    }
}

// Where the path holds "vesmors" the service's start arrives in the
// invocation-name form; elsewhere it needs the command word.
TEST(InstallCommand, RegistersACommandLineThatReachesTheServiceAndItsShutdownTime) {
    const struct {
        const char* exe;
        const char* command_line;
        std::uint32_t create_error, preshutdown_error;
    } cases[] = {
        {"C:\\A B\\vesmors\\bin\\launcher.exe", "\"C:\\A B\\vesmors\\bin\\launcher.exe\" start", 0, 0},
        {"C:\\Program Files\\Halvora Suite\\bin\\launcher.exe",
         "\"C:\\Program Files\\Halvora Suite\\bin\\launcher.exe\" vesmors start", 0, 0},
        {"C:\\Suite\\VESMORS\\launcher.exe", "C:\\Suite\\VESMORS\\launcher.exe vesmors start", 0, 5},
        {"C:\\A B\\vesmors\\bin\\launcher.exe", "\"C:\\A B\\vesmors\\bin\\launcher.exe\" start", 1073, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exe);
        FakeManager fake;
        fake.exe = c.exe;
        if (c.create_error != 0) fake.created = HandleResult::err(c.create_error);
        fake.preshutdown_error = c.preshutdown_error;
        testing::internal::CaptureStdout();
        const ServiceResult r = install(fake.manager());
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(outcome(r), c.create_error != 0 ? "Winapi(1073" : "ok");
        std::string doubled;
        for (const char ch : std::string(c.exe)) doubled += ch == '\\' ? "\\\\" : std::string(1, ch);
        EXPECT_EQ(out, "before service manager\nOk(\"" + doubled + "\")\n");
        Calls expected = {"open manager 3", "create vesmors|Halvora VESMOR Service|50|" + std::string(c.command_line)};
        // A little above the stop's 20 s bound.
        if (c.create_error == 0) expected.insert(expected.end(), {"preshutdown 25000", "close 2"});
        expected.push_back("close 1");
        EXPECT_EQ(fake.calls, expected);
        EXPECT_TRUE(fake.every_handle_closed_once());
    }
}

// A refused stop, and a stop that outlasts the bound, as the dispatch
// reports them, in both forms.
TEST(RemoveCommand, ARefusedOrUnendingStopIsLoggedAndSetsTheExitStatusOfEachForm) {
    const auto dir = test_files::fresh_directory("remove-command");
    const auto log = dir / "launcher.log";
    const struct {
        StateResult stop_reply;
        std::uint32_t state_after;  // what the queries after the request answer
        std::string diagnostic;
    } cases[] = {
        {StateResult::err(1052), kRunning, "Winapi(1052: "},
        {StateResult::err(1061), kRunning, "Winapi(1061: "},
        {StateResult::ok(kStopPending), kStopPending,
         "NotStopped(3: the service is still StopPending after 25 s and stays installed)"},
    };
    for (const auto& c : cases) {
        for (const bool invocation_name : {true, false}) {
            SCOPED_TRACE(c.diagnostic + (invocation_name ? " invocation name" : " command word"));
            ASSERT_TRUE(logger::detail::install(log.string()));
            FakeManager fake;
            fake.statuses = {status(kRunning, 0x105), status(c.state_after, c.state_after == kRunning ? 0x105 : 0)};
            fake.stop_reply = c.stop_reply;
            DispatchOps ops = default_dispatch_ops();
            ops.initialize_log = [] {};
            ops.integrity_valid = [](std::string_view) { return true; };
            ops.set_working_directory = [](const std::string&) { return system_result(0); };
            ops.start_vesmors = [&fake](std::string_view sub) {
                EXPECT_EQ(sub, "remove");
                return remove(fake.manager());
            };
            const auto args = invocation_name ? std::vector<std::string>{"C:\\vesmors\\bin\\launcher.exe", "remove"}
                                              : std::vector<std::string>{"launcher.exe", "vesmors", "remove"};
            EXPECT_EQ(dispatch(args, ops), invocation_name ? -1 : 0);
            logger::detail::uninstall_for_tests();

            std::vector<std::string> messages;
            const std::string text = test_files::read(log);
            for (std::size_t at = 0, end; (end = text.find("\r\n\n", at)) != std::string::npos; at = end + 3) {
                const std::string r = text.substr(at, end - at);
                messages.push_back(r.substr(r.find(' ') + 1));
            }
            ASSERT_GE(messages.size(), 2u) << text;
            EXPECT_EQ(messages[messages.size() - 2], "INFO launcherwindows - going to call uninstall for vesmor service");
            const std::string prefix = invocation_name ? "ERROR launcherwindows - Application error : "
                                                       : "ERROR launcherwindows - Error while starting vesmors ";
            EXPECT_EQ(messages.back().rfind(prefix + c.diagnostic, 0), 0u) << messages.back();
            EXPECT_TRUE(fake.every_handle_closed_once());
            EXPECT_EQ(std::count(fake.calls.begin(), fake.calls.end(), "delete"), 0);
        }
    }
}
