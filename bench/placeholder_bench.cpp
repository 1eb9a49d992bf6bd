#include <benchmark/benchmark.h>
static void noop(benchmark::State& s) { for (auto _ : s) {} }
BENCHMARK(noop);
