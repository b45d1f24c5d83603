// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// checkpoint_verify_cosigned through the C ABI against the same work operation called directly,
// in one run: the boundary's share is lifting two text buffers and encoding the result record
// (aim: ratio <= 1.02). Inputs: the hybrid-signed checkpoint with one Ed25519 and one ML-DSA-44
// cosignature, and the real checkpoint with four real Ed25519 cosignatures under a 3-of-4 policy.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "quorvantile_witness.h"
#include "test_support.hpp"
#include "witness/operations.hpp"

namespace {

struct Input {
  std::string note, policy;
};

std::string read(const std::string& path) { return qv_test::read_file(std::string(QV_TEST_DATA_DIR) + "/../../" + path); }

const Input& input(int which) {
  static const Input inputs[] = {
      {read("tests/data/witness/checkpoint_newer.txt"), read("tests/data/witness/policy.txt")},
      {read("demo/data/witness/arche2025h1.checkpoint"), read("demo/data/witness/arche2025h1_3of4.policy")},
  };
  return inputs[which];
}

RustBuffer text(const std::string& s) {
  RustCallStatus status{};
  return ffi_quorvantile_witness_rustbuffer_from_bytes(
      ForeignBytes{static_cast<int32_t>(s.size()), reinterpret_cast<const uint8_t*>(s.data())}, &status);
}

void BM_Abi(benchmark::State& state) {
  const Input& in = input(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    RustCallStatus status{};
    const RustBuffer out =
        uniffi_quorvantile_witness_fn_func_checkpoint_verify_cosigned(text(in.note), text(in.policy), &status);
    if (status.code != 0) throw std::runtime_error("fixture did not verify");
    RustCallStatus s{};
    ffi_quorvantile_witness_rustbuffer_free(out, &s);
  }
}
BENCHMARK(BM_Abi)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_Work(benchmark::State& state) {
  const Input& in = input(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    auto result = quorvantile_log::witness::checkpoint_verify_cosigned(in.note, in.policy);
    if (!result) throw std::runtime_error("fixture did not verify");
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(BM_Work)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
