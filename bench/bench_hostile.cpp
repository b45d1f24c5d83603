// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The slowest inputs of at most 1 MiB found for each verification export: longest proof paths,
// the deepest key-transparency ladders, 100 verifying or 5 KB signature lines, megabyte texts,
// values, keys and tokens, absurd declared counts. Each is timed around the export call alone
// (its argument buffers are built before the clock starts); `bytes` is the input size. The
// limit every export must stay under is 50 ms per call.
#include <benchmark/benchmark.h>

#include <chrono>

#include "hostile_inputs.hpp"

namespace {

void run(benchmark::State& state, const qv_calls::Export* e, const std::vector<qv_calls::Arg>* args) {
  int8_t code = 0;
  for (auto _ : state) {
    const std::vector<RustBuffer> bufs = qv_calls::lower(*args);
    qv_calls::Raw raw;
    const auto start = std::chrono::steady_clock::now();
    e->invoke(*args, bufs, raw);
    const auto stop = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    code = qv_calls::finish(raw).code;
  }
  state.counters["bytes"] = static_cast<double>(qv_calls::arg_bytes(*args));
  state.counters["status"] = code;
}

}  // namespace

int main(int argc, char** argv) {
  for (const auto& input : qv_hostile::inputs()) {
    if (input.variants.size() != 1) continue;  // sweeps are for the allocation bound
    benchmark::RegisterBenchmark((input.fn + "/" + input.kind).c_str(), run, &qv_calls::by_name(input.fn),
                                 &input.variants.front())
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->MinTime(0.05);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
