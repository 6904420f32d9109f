// The service process's logic against a control manager of the test's own:
// reports, the control handler, the stop waiter and the worker.
#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

#include "log/logger.h"
#include "process/util.h"
#include "test_files.h"
#include "vesmors_service/service.h"

#ifdef _WIN32
#include <windows.h>
#include "common/unicode_windows.h"
#endif

using namespace launcherwindows;
using namespace launcherwindows::vesmors_service;

namespace {

constexpr StatusHandle kHandle = 0x5eed;

// The process environment as the worker sets it (on Windows not the C
// runtime's copy).
std::string env_get(const char* name) {
#ifdef _WIN32
    wchar_t buf[1024];
    const DWORD n = GetEnvironmentVariableW(unicode::to_wide(name).c_str(), buf, 1024);
    return n == 0 ? "(unset)" : unicode::from_wide(std::wstring_view(buf, n));
#else
    const char* v = std::getenv(name);
    return v != nullptr ? v : "(unset)";
#endif
}
void env_set(const char* name, const std::string& value) {
#ifdef _WIN32
    SetEnvironmentVariableW(unicode::to_wide(name).c_str(), value == "(unset)" ? nullptr : unicode::to_wide(value).c_str());
#else
    if (value == "(unset)") {
        unsetenv(name);
    } else {
        setenv(name, value.c_str(), 1);
    }
#endif
}

// Shared with the detached stop waiter, which may outlive a test's frame.
struct Manager {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<ServiceStatus> reports;
    std::vector<StatusHandle> report_handles;
    ControlHandlerState* handler = nullptr;
    Result<StatusHandle, ServiceError> registration = Result<StatusHandle, ServiceError>::ok(kHandle);
    std::uint32_t running_error = 0;
    std::uint32_t stopped_error = 0;
    int java_starts = 0;

    std::shared_future<void> create_gate;  // the VM's creation waits for it
    std::promise<void> java_entered;       // the VM exists
    std::shared_future<void> java_release;
    init::JavaStartResult java_result = init::java_start_ok();
    bool create_fails = false;  // then the start returns java_result at once
    init::JavaEvents events;  // what the worker gave the start

    // The exit request: whether it was taken, and from which thread.
    bool exit_request_taken = true;
    int exit_requests = 0;
    std::thread::id exit_requester;
    bool exit_runs_hook = false;  // the runtime then calls the exit hook with 0
    std::vector<std::uint32_t> process_ends;

    bool wait_for(const std::function<bool()>& done) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(20), done);
    }
    bool wait_for_reports(std::size_t n) {
        return wait_for([&] { return reports.size() >= n; });
    }
    std::vector<ServiceStatus> reports_now() {
        const std::lock_guard<std::mutex> lock(mutex);
        return reports;
    }
};

ControlManager control_manager(const std::shared_ptr<Manager>& m) {
    ControlManager cm;
    cm.register_handler = [m](ControlHandlerState* state) {
        m->handler = state;
        return m->registration;
    };
    cm.set_status = [m](StatusHandle handle, const ServiceStatus& status) {
        const std::lock_guard<std::mutex> lock(m->mutex);
        m->reports.push_back(status);
        m->report_handles.push_back(handle);
        m->changed.notify_all();
        return system_result(status.current_state == kServiceRunning ? m->running_error : m->stopped_error);
    };
    cm.start_java = [m](const init::JavaEvents& events) {
        {
            const std::lock_guard<std::mutex> lock(m->mutex);
            ++m->java_starts;
            m->changed.notify_all();
        }
        if (m->create_gate.valid()) m->create_gate.wait();
        if (m->create_fails) return m->java_result;
        m->events = events;
        events.created();
        m->java_entered.set_value();
        if (m->java_release.valid()) m->java_release.wait();
        m->events = {};  // they hold the service's reports, which hold this manager
        return m->java_result;
    };
    cm.request_java_exit = [m] {
        const std::lock_guard<std::mutex> lock(m->mutex);
        ++m->exit_requests;
        m->exit_requester = std::this_thread::get_id();
        if (m->exit_runs_hook) std::thread([exiting = m->events.exiting] { exiting(0); }).detach();
        m->changed.notify_all();
        return m->exit_request_taken;
    };
    cm.end_process = [m](std::uint32_t status) {
        const std::lock_guard<std::mutex> lock(m->mutex);
        m->process_ends.push_back(status);
        m->changed.notify_all();
    };
    cm.stop_timing = {std::chrono::seconds(1), std::chrono::milliseconds(200)};
    return cm;
}

class ServiceTest : public testing::Test {
protected:
    void SetUp() override {
        dir_ = test_files::fresh_directory("service");
        log_ = dir_ / "launcher.log";
        ASSERT_TRUE(logger::detail::install(log_.string()));
        cwd_ = std::filesystem::current_path();
        path_ = env_get("PATH");
    }
    void TearDown() override {
        logger::detail::uninstall_for_tests();
        std::filesystem::current_path(cwd_);
        env_set("PATH", path_);
    }
    // "<LEVEL> <target> - <message>" per record.
    std::vector<std::string> records() const {
        std::vector<std::string> out;
        const std::string text = test_files::read(log_);
        for (std::size_t start = 0, end; (end = text.find("\r\n\n", start)) != std::string::npos; start = end + 3) {
            const std::string r = text.substr(start, end - start);
            out.push_back(r.substr(r.find(' ') + 1));
        }
        return out;
    }

    std::filesystem::path dir_, log_, cwd_;
    std::string path_;
};

const std::string kSvc = " launcherwindows::vesmors_service - ";
const std::vector<std::string> kWorkerLines = {
    "INFO" + kSvc + "starting the vesmors actor.....",
    "INFO" + kSvc + "L1_HOME set to .\\vesmor\\l1",
    "INFO" + kSvc + "VESMORS path set to .\\vesmor\\l1\\bin;.\\jre\\bin",
    "INFO" + kSvc + "LD_LIBRARY_PATH set to .\\vesmor\\l1\\bin",
};

std::vector<std::string> with_worker_lines(std::vector<std::string> tail) {
    std::vector<std::string> all = kWorkerLines;
    all.insert(all.end(), tail.begin(), tail.end());
    return all;
}

}  // namespace

TEST(ControlHandler, StopShutdownAndPreshutdownSetTheFlagAndOnlyTheyAndInterrogateAreImplemented) {
    // Pause, continue, param change, session change (with event data),
    // and codes Windows does not define.
    for (const std::uint32_t code : {0u, 2u, 3u, 6u, 0xEu, 0x60u, 200u, 0xFFFFFFFFu}) {
        ControlHandlerState state{std::make_shared<StopFlag>()};
        EXPECT_EQ(handle_control(code, state), kErrorCallNotImplemented) << code;
        EXPECT_EQ(handle_control(kControlInterrogate, state), kNoError);
        EXPECT_FALSE(state.stop->requested());
    }
    for (const std::uint32_t code : {kControlStop, kControlShutdown, kControlPreshutdown}) {
        ControlHandlerState state{std::make_shared<StopFlag>()};
        EXPECT_EQ(handle_control(code, state), kNoError);
        EXPECT_TRUE(state.stop->requested());
        EXPECT_EQ(state.stop->wait().win32_exit_code, 0u);
        // Again, after the stop began: nothing changes.
        for (const std::uint32_t again : {kControlStop, kControlShutdown, kControlPreshutdown}) {
            EXPECT_EQ(handle_control(again, state), kNoError);
        }
        EXPECT_EQ(state.stop->wait().win32_exit_code, 0u);
    }
}

TEST(ServiceReports, RunningAcceptsStopShutdownAndPreshutdownAndStoppedCarriesTheJavaOutcome) {
    EXPECT_EQ(running_status(), (ServiceStatus{0x10, 4, 1 | 4 | 0x100, 0, 0, 0, 0}));
    EXPECT_EQ(stop_pending_status(3, 7000), (ServiceStatus{0x10, 3, 0, 0, 0, 3, 7000}));
    EXPECT_EQ(stopped_status(codes_after_java(init::java_start_ok())), (ServiceStatus{0x10, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(stopped_status(codes_after_java(init::java_start_failed("x"))),
              (ServiceStatus{0x10, 1, 0, 1066, 1, 0, 0}));
    EXPECT_EQ(stopped_status(codes_after_java(init::java_uncaught_exception("x"))),
              (ServiceStatus{0x10, 1, 0, 1066, 2, 0, 0}));
}

// A Stop (or Shutdown, or Preshutdown) while the server runs or is being
// created asks it to end from the waiter's thread, under StopPending; the exit
// hook reports Stopped, or the bound does with 1053 and ends the process. A
// creation that fails under the stop reports the failed start.
TEST_F(ServiceTest, AStopEndsTheServerInOrderOrGivesUpAfterTheBound) {
    const struct {
        const char* what;
        std::uint32_t control;
        bool during_creation, ends, creation_fails;
    } cases[] = {
        {"stop, server ends", kControlStop, false, true, false},
        {"shutdown during creation, server ends", kControlShutdown, true, true, false},
        {"stop, server hangs", kControlStop, false, false, false},
        {"preshutdown during creation, creation fails", kControlPreshutdown, true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test_files::truncate(log_);
        auto m = std::make_shared<Manager>();
        m->exit_runs_hook = c.ends;
        m->create_fails = c.creation_fails;
        if (c.creation_fails) m->java_result = init::java_start_failed("no VM");
        std::promise<void> create, release;
        if (c.during_creation) m->create_gate = create.get_future().share();
        m->java_release = release.get_future().share();
        auto result = std::async(std::launch::async, [m] { return run_service({}, control_manager(m)); });
        // Whatever fails, the service's thread must be let go before the test waits for it.
        struct Ends {
            std::promise<void>* gates[2];
            ~Ends() {
                for (auto* g : gates) {
                    try {
                        g->set_value();
                    } catch (const std::future_error&) {
                    }
                }
            }
        } ends{{&create, &release}};
        ASSERT_TRUE(m->wait_for([&] { return m->handler != nullptr && m->reports.size() == 1; }));
        ASSERT_TRUE(m->wait_for([&] { return m->java_starts == 1; }));
        if (!c.during_creation) m->java_entered.get_future().wait();

        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(handle_control(c.control, *m->handler), kNoError);  // as the main thread would
        ASSERT_TRUE(m->wait_for_reports(2));
        if (c.during_creation) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            EXPECT_EQ(m->exit_requests, 0);  // no VM to ask yet
            create.set_value();
        }
        ASSERT_TRUE(m->wait_for([&] {
            return m->reports.back().current_state == kServiceStopped && (c.ends || !m->process_ends.empty());
        }));
        const auto waited = std::chrono::steady_clock::now() - started;
        EXPECT_EQ(m->exit_requests, c.creation_fails ? 0 : 1);
        EXPECT_NE(m->exit_requester, std::this_thread::get_id());

        const auto reports = m->reports_now();
        EXPECT_EQ(reports.front(), running_status());
        EXPECT_EQ(reports.back(), stopped_status(c.creation_fails ? StopCodes{kErrorServiceSpecificError, 1}
                                                 : c.ends         ? StopCodes{}
                                                                  : kServerTimeoutCodes));
        // StopPending in between, its check point rising and its hint covering the time left.
        ASSERT_GE(reports.size(), 3u);
        for (std::size_t i = 1; i + 1 < reports.size(); ++i) {
            EXPECT_EQ(reports[i], stop_pending_status(static_cast<std::uint32_t>(i), reports[i].wait_hint));
            EXPECT_LE(reports[i].wait_hint, i == 1 ? 1200u : reports[i - 1].wait_hint);
            EXPECT_GE(reports[i].wait_hint, 200u);
        }
        EXPECT_EQ(m->process_ends, c.ends ? std::vector<std::uint32_t>{} : std::vector<std::uint32_t>{1053});
        if (!c.ends) {
            EXPECT_GE(reports.size(), 6u);  // a check point every 200 ms of the 1 s
            EXPECT_GE(waited, std::chrono::seconds(1));
        }

        release.set_value();
        EXPECT_TRUE(result.get().is_ok());
        EXPECT_EQ(m->reports_now().size(), reports.size());  // never a second Stopped
        const std::string event = c.control == kControlStop ? "stop event received" : "shutdown event received";
        std::vector<std::string> expected = {"INFO" + kSvc + event,
                                             "INFO" + kSvc + "setting status to stopped and stopping actor system...."};
        if (!c.ends) {
            expected.push_back("ERROR" + kSvc +
                               "the Java server did not end within 1 s of the stop request; the service stops without it");
        }
        expected.push_back(c.creation_fails ? "ERROR" + kSvc + "Application error: \"no VM\""
                                            : "INFO" + kSvc + "vesmors java application ended");
        EXPECT_EQ(records(), with_worker_lines(expected));
    }
}

TEST_F(ServiceTest, TheServersOwnExitReportsStoppedWithItsCode) {
    for (const std::int32_t code : {0, 5}) {
        SCOPED_TRACE(code);
        auto m = std::make_shared<Manager>();
        std::promise<void> release;
        m->java_release = release.get_future().share();
        auto result = std::async(std::launch::async, [m] { return run_service({}, control_manager(m)); });
        m->java_entered.get_future().wait();
        m->events.exiting(code);  // as the runtime's exit hook, before the process ends
        EXPECT_EQ(m->reports_now(), (std::vector<ServiceStatus>{running_status(), stopped_status(codes_after_exit(code))}));
        release.set_value();
        EXPECT_TRUE(result.get().is_ok());
        EXPECT_EQ(m->reports_now().size(), 2u);
        EXPECT_EQ(m->exit_requests, 0);
    }
    EXPECT_EQ(codes_after_exit(5).win32_exit_code, kErrorServiceSpecificError);
    EXPECT_EQ(codes_after_exit(-1).service_specific_exit_code, 0xFFFFFFFFu);
}

TEST_F(ServiceTest, AStopBeforeTheServerBeganStopsAtOnceAndNeverStartsIt) {
    auto m = std::make_shared<Manager>();
    ControlManager cm = control_manager(m);
    cm.enter_installation_directory = [m] {
        return m->wait_for([&] { return m->reports.size() == 2; });  // held until Stopped
    };
    auto result = std::async(std::launch::async, [&] { return run_service({}, cm); });
    ASSERT_TRUE(m->wait_for([&] { return m->handler != nullptr && m->reports.size() == 1; }));
    EXPECT_EQ(handle_control(kControlStop, *m->handler), kNoError);
    EXPECT_TRUE(result.get().is_ok());
    EXPECT_EQ(m->reports, (std::vector<ServiceStatus>{running_status(), stopped_status({})}));
    EXPECT_EQ(m->java_starts, 0);
}

TEST_F(ServiceTest, AServerThatEndsOrFailsStopsTheServiceWithItsExitCodes) {
    for (const bool fails : {false, true}) {
        SCOPED_TRACE(fails ? "failed start" : "normal end");
        test_files::truncate(log_);
        auto m = std::make_shared<Manager>();
        m->java_result = fails ? init::java_start_failed("bad \"record\"") : init::java_start_ok();
        EXPECT_TRUE(run_service({}, control_manager(m)).is_ok());
        ASSERT_TRUE(m->wait_for_reports(2));
        EXPECT_EQ(m->reports, (std::vector<ServiceStatus>{running_status(),
                                                          stopped_status(codes_after_java(m->java_result))}));
        const std::string outcome = fails ? "ERROR" + kSvc + "Application error: \"bad \\\"record\\\"\""
                                          : "INFO" + kSvc + "vesmors java application ended";
        EXPECT_EQ(records(), with_worker_lines(
                                 {outcome, "INFO" + kSvc + "setting status to stopped and stopping actor system...."}));
    }
}

TEST_F(ServiceTest, WorkerSetsTheDirectoryAndReplacesTheEnvironmentEvenWithInfoOff) {
    env_set("PATH", "C:\\inherited");
    env_set("LD_LIBRARY_PATH", "(unset)");
    logger::detail::set_max_level(logger::Level::Error);
    auto m = std::make_shared<Manager>();
    std::string seen_path, seen_ld, seen_l1, seen_cwd;
    ControlManager cm = control_manager(m);
    cm.start_java = [&](const init::JavaEvents&) {
        seen_path = env_get("PATH");
        seen_ld = env_get("LD_LIBRARY_PATH");
        seen_l1 = env_get("L1_HOME");
        seen_cwd = std::filesystem::current_path().string();
        return init::java_start_ok();
    };
    EXPECT_TRUE(run_service({}, cm).is_ok());
    EXPECT_EQ(seen_path, ".\\vesmor\\l1\\bin;.\\jre\\bin");
    EXPECT_EQ(seen_ld, ".\\vesmor\\l1\\bin");
    EXPECT_EQ(seen_l1, ".\\vesmor\\l1");
    EXPECT_EQ(seen_cwd, get_halvora_directory());
    EXPECT_TRUE(records().empty());
    ASSERT_TRUE(m->wait_for_reports(2));
}

TEST_F(ServiceTest, FailedRegistrationOrRunningReportLeavesTheWorkerUnstarted) {
    auto refused = std::make_shared<Manager>();
    refused->registration = Result<StatusHandle, ServiceError>::err(ServiceError::winapi(1063));
    ServiceResult r = run_service({}, control_manager(refused));
    ASSERT_FALSE(r.is_ok());
    EXPECT_EQ(r.error().kind, ServiceError::Kind::Winapi);
    EXPECT_EQ(r.error().value, 1063u);
    EXPECT_TRUE(refused->reports.empty());

    auto unreported = std::make_shared<Manager>();
    unreported->running_error = 6;  // ERROR_INVALID_HANDLE
    r = run_service({}, control_manager(unreported));
    ASSERT_FALSE(r.is_ok());
    EXPECT_EQ(r.error().value, 6u);
    EXPECT_EQ(unreported->reports, (std::vector<ServiceStatus>{running_status()}));

    EXPECT_EQ(refused->java_starts + unreported->java_starts, 0);
    EXPECT_TRUE(records().empty());  // "starting the vesmors actor....." never came
}

TEST_F(ServiceTest, WorkerSetsAndLogsTheEnvironmentWhenTheDirectoryCannotBeEntered) {
    env_set("PATH", "C:\\inherited");
    auto m = std::make_shared<Manager>();
    ControlManager cm = control_manager(m);
    cm.enter_installation_directory = [] { return false; };
    std::vector<std::string> seen;
    cm.start_java = [&](const init::JavaEvents&) {
        seen = {env_get("L1_HOME"), env_get("PATH"), env_get("LD_LIBRARY_PATH"),
                std::filesystem::current_path().string()};
        return init::java_start_ok();
    };
    EXPECT_TRUE(run_service({}, cm).is_ok());
    EXPECT_EQ(seen, (std::vector<std::string>{".\\vesmor\\l1", ".\\vesmor\\l1\\bin;.\\jre\\bin", ".\\vesmor\\l1\\bin",
                                              cwd_.string()}));
    EXPECT_EQ(records(), with_worker_lines({"INFO" + kSvc + "vesmors java application ended",
                                            "INFO" + kSvc + "setting status to stopped and stopping actor system...."}));
}

TEST(StopWaiter, AsksTheLoopToStopOnlyAfterTheStoppedReportWentOut) {
    // Stops the loop with its own code, unless a stop queued before it did.
    struct Probe : Actor {
        void started(LoopContext& context) override { context.stop(7); }
    };
    // The report refused by the manager; taken; refused since an earlier Stopped went out.
    for (const std::uint32_t report_error : {6u, 0u, kErrorServiceNotActive}) {
        SCOPED_TRACE(report_error);
        EventLoop loop;
        auto stop = std::make_shared<StopFlag>();
        stop->request({kErrorServiceSpecificError, 2});
        auto server = std::make_shared<ServerWatch>();
        server->ended({});
        std::vector<ServiceStatus> reports;
        auto status = std::make_shared<StatusReports>(kHandle, [&](StatusHandle, const ServiceStatus& s) {
            reports.push_back(s);
            return system_result(report_error == kErrorServiceNotActive ? 0 : report_error);
        });
        if (report_error == kErrorServiceNotActive) ASSERT_TRUE(status->send(stopped_status({})));
        StopWaiter{stop, server, status, [] { return false; }, [](std::uint32_t) {}, {}, loop.stopper()}();
        loop.start(std::make_unique<Probe>());
        EXPECT_EQ(loop.run(), report_error == 6 ? 7 : 0);
        EXPECT_EQ(reports.back(), stopped_status(report_error == kErrorServiceNotActive
                                                     ? StopCodes{}
                                                     : StopCodes{kErrorServiceSpecificError, 2}));
        EXPECT_EQ(reports.size(), 1u);
    }
}
