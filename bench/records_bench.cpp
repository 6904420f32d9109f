// The host side of a Java start before the JVM: reading the record and
// building the class-path option.
#include <benchmark/benchmark.h>

#include "init/applications.h"
#include "init/classpath.h"
#include "init/records.h"

namespace {

using namespace launcherwindows::init;

void BM_ReadOrmicRecord(benchmark::State& state) {
    const std::string_view text = compiled_record("ormic");
    for (auto _ : state) {
        auto app = read_java_app(text);
        benchmark::DoNotOptimize(app);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ReadOrmicRecord);

void BM_BuildOrmicClassPathOption(benchmark::State& state) {
    for (auto _ : state) {
        auto option = build_class_path_option("ormic");
        benchmark::DoNotOptimize(option);
    }
}
BENCHMARK(BM_BuildOrmicClassPathOption);

}  // namespace

BENCHMARK_MAIN();
