// Runs one Java start in a process of its own (a process holds one JVM):
//   java_start_driver <application name> <record file | --compiled>
// in the working directory it is given. Logs to driver.log there and appends
// "start returned ok" or "start returned error: <text>" to events.txt.
// The name "--null-main" calls the native start with a null main class name,
// which no record can give, and appends "start returned <status>: <detail>".
// With LAUNCHER_TEST_EXIT_REQUEST set, once "main blocking" is in events.txt
// it asks the application to end as System.exit(0) does.
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cipher/cipher.h"
#include "init/applications.h"
#include "init/java_app_start.h"
#include "init/records.h"
#include "java_start/java_start.h"
#include "common/log_folder.h"
#include "java_start/trace_file.h"
#include "log/logger.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: java_start_driver <application name> <record file | --compiled>\n";
        return 2;
    }
    const std::string name = argv[1];
    std::string record;
    if (std::string(argv[2]) == "--compiled") {
        record = std::string(launcherwindows::init::compiled_record(name));
    } else {
        std::ifstream in(argv[2], std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        record = text.str();
    }
    install_compiled_cipher_tables();
    launcherwindows::logger::detail::install("driver.log");

    if (name == "--null-main") {
        auto app = launcherwindows::init::read_java_app(record);
        if (!app) return 2;
        std::vector<const char*> options;
        for (const auto& option : app.value().options) options.push_back(option.c_str());
        const auto outcome = launcherwindows::java_start::start(app.value().jvm_path.c_str(), options.data(),
                                                                static_cast<std::int32_t>(options.size()), nullptr,
                                                                app.value().encrypt_class.c_str(),
                                                                open_trace_file(launcherwindows::working_log_file(
                                                                    launcherwindows::kJavaTraceFile)));
        const std::int32_t status = outcome ? kJavaStartOk : outcome.error().status;
        std::ofstream("events.txt", std::ios::binary | std::ios::app)
            << "start returned " << status << ": " << (outcome ? "" : outcome.error().cause) << "\n";
        return status;
    }

    if (std::getenv("LAUNCHER_TEST_EXIT_REQUEST")) {
        launcherwindows::init::JavaEvents events;
        events.created = [] {
            std::thread([] {
                for (;;) {
                    std::ifstream in("events.txt");
                    std::ostringstream text;
                    text << in.rdbuf();
                    if (text.str().find("main blocking") != std::string::npos) break;
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                }
                const bool asked = launcherwindows::init::request_java_exit(0);
                std::ofstream("events.txt", std::ios::binary | std::ios::app) << "exit requested " << asked << "\n";
            }).detach();
        };
        events.exiting = [](std::int32_t code) {
            std::ofstream("events.txt", std::ios::binary | std::ios::app) << "exiting with " << code << "\n";
        };
        (void)launcherwindows::init::start_java_app(name, record, events);
        return 99;  // the exit hook ends the process before this
    }

    const auto result = launcherwindows::init::configure_and_start_java_app(name, record);
    std::ofstream events("events.txt", std::ios::binary | std::ios::app);
    events << "start returned " << (result ? std::string("ok") : "error: " + result.error()) << "\n";
    return result ? 0 : 1;
}
