// The host side of a Java start up to the JVM: from the call of
// configure_and_start_java_app to the call of JNI_CreateJavaVM (record read,
// class path of 232 entries built, log record, earlier traces moved aside,
// trace opened, library loaded),
// against a JVM library that returns at once. The library is unloaded between
// starts, so each start loads it again (from the page cache).
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

#include "init/applications.h"
#include "init/java_app_start.h"
#include "log/logger.h"

// Written by the fake JVM: steady_clock time of its JNI_CreateJavaVM call, in ns.
extern "C" {
std::int64_t java_start_bench_created_ns = 0;
}

namespace {

namespace fs = std::filesystem;
using launcherwindows::init::configure_and_start_java_app;

// The ormic record with the fake library in place of the JVM.
std::string ormic_record_with_fake_jvm() {
    std::string text(launcherwindows::init::compiled_record("ormic"));
    const std::string jvm = R"(.\\jre\\bin\\client\\jvm.dll)";
    text.replace(text.find(jvm), jvm.size(), LAUNCHER_BENCH_FAKE_JVM);
    return text;
}

// A working directory with launcher-logs and a log, under TMPDIR.
void set_up_once() {
    static bool done = false;
    if (done) return;
    done = true;
    const fs::path dir = fs::temp_directory_path() / "launcher-java-start-bench";
    fs::remove_all(dir);
    fs::create_directories(dir / "launcher-logs");
    fs::current_path(dir);
    launcherwindows::logger::detail::install((dir / "launcher-logs" / "launcher.log").string());
}

// Between starts: the start never closes the JVM library; drop its reference
// so that the next start loads it again. Closing a file just written makes
// ext4 start writing it back, which the next start's moves and new file may
// wait for; a real start follows one that ended long before, so let that
// write-back finish here too. With previous traces the start moves the nine
// earlier ones aside and drops the oldest; without any (a new installation)
// it only creates the file.
void between_starts(bool keep_trace) {
    if (void* loaded = dlopen(LAUNCHER_BENCH_FAKE_JVM, RTLD_NOW | RTLD_NOLOAD)) {
        dlclose(loaded);
        dlclose(loaded);
    }
    if (!keep_trace) {
        for (const auto& entry : fs::directory_iterator("launcher-logs")) {
            if (entry.path().filename().string().rfind("launcher-cpp.log", 0) == 0) fs::remove(entry.path());
        }
    }
    const int fd = open("launcher-logs/launcher-cpp.log", O_RDONLY);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

std::int64_t now_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void BM_CallToCreateJavaVM(benchmark::State& state) {
    set_up_once();
    const bool keep_trace = state.range(0) != 0;
    between_starts(keep_trace);
    const std::string record = ormic_record_with_fake_jvm();
    for (auto _ : state) {
        java_start_bench_created_ns = 0;
        const std::int64_t called = now_ns();
        const auto result = configure_and_start_java_app("ormic", record);
        const std::int64_t created = java_start_bench_created_ns;
        if (!result || created == 0) {
            state.SkipWithError(result ? "JNI_CreateJavaVM was not called" : result.error().c_str());
            break;
        }
        state.SetIterationTime(static_cast<double>(created - called) * 1e-9);
        between_starts(keep_trace);
    }
}
BENCHMARK(BM_CallToCreateJavaVM)->ArgName("previous_trace")->Arg(1)->Arg(0)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The same start to its end, with main and DestroyJavaVM returning at once.
void BM_WholeStartWithInstantJvm(benchmark::State& state) {
    set_up_once();
    const std::string record = ormic_record_with_fake_jvm();
    for (auto _ : state) {
        const auto result = configure_and_start_java_app("ormic", record);
        benchmark::DoNotOptimize(result);
        state.PauseTiming();
        between_starts(true);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WholeStartWithInstantJvm)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
