// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The key-transparency exports on the bundled default-suite proofs, through the C ABI: the three
// functions that take the default suite beside their `_suite` forms called with 0xF000, so the
// cost of the suite argument is read off one run, and the fixed-version proof beside the search.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "quorvantile_log.h"

namespace {

using Bytes = std::vector<uint8_t>;

const std::string kContext = "demo/keytrans/v1";

Bytes read_file(const std::string& name) {
  const std::string path = std::string(QV_TEST_DATA_DIR) + "/keytrans/" + name;
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes sequence(const Bytes& b) {
  Bytes out(4 + b.size());
  const auto n = static_cast<uint32_t>(b.size());
  for (std::size_t i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(n >> (24 - 8 * i));
  std::copy(b.begin(), b.end(), out.begin() + 4);
  return out;
}

RustBuffer buffer(const Bytes& b) {
  RustCallStatus status{};
  return ffi_quorvantile_log_rustbuffer_from_bytes(ForeignBytes{static_cast<int32_t>(b.size()), b.data()}, &status);
}

struct Fixture {
  Bytes context = Bytes(kContext.begin(), kContext.end());
  Bytes vrf = sequence(read_file("keytrans.vrf_public"));
  Bytes root = sequence(read_file("keytrans.root"));
  Bytes alice = sequence(Bytes{'a', 'l', 'i', 'c', 'e'});
  Bytes search = sequence(read_file("keytrans_search_alice.proof"));
  Bytes fixed = sequence(read_file("keytrans_fixed_alice_2.proof"));
  Bytes monitor = sequence(read_file("keytrans_monitor_alice_3.proof"));
};

const Fixture& fixture() {
  static const Fixture f;
  return f;
}

void check(benchmark::State& state, RustCallStatus& status, RustBuffer out) {
  if (status.code != 0) state.SkipWithError("proof did not verify");
  RustCallStatus free_status{};
  ffi_quorvantile_log_rustbuffer_free(out, &free_status);
}

void BM_KeytransVerifySearch(benchmark::State& state) {
  const Fixture& f = fixture();
  for (auto _ : state) {
    RustCallStatus status{};
    check(state, status,
          uniffi_quorvantile_log_fn_func_keytrans_verify_search(buffer(f.context), buffer(f.vrf), buffer(f.root),
                                                                buffer(f.alice), buffer(f.search), &status));
  }
}

void BM_KeytransVerifySearchSuite(benchmark::State& state) {
  const Fixture& f = fixture();
  for (auto _ : state) {
    RustCallStatus status{};
    check(state, status,
          uniffi_quorvantile_log_fn_func_keytrans_verify_search_suite(0xF000, buffer(f.context), buffer(f.vrf),
                                                                      buffer(f.root), buffer(f.alice),
                                                                      buffer(f.search), &status));
  }
}

void BM_KeytransVerifyFixedVersion(benchmark::State& state) {
  const Fixture& f = fixture();
  for (auto _ : state) {
    RustCallStatus status{};
    check(state, status,
          uniffi_quorvantile_log_fn_func_keytrans_verify_fixed_version(buffer(f.context), buffer(f.vrf),
                                                                       buffer(f.root), buffer(f.alice),
                                                                       buffer(f.fixed), &status));
  }
}

void BM_KeytransVerifyFixedVersionSuite(benchmark::State& state) {
  const Fixture& f = fixture();
  for (auto _ : state) {
    RustCallStatus status{};
    check(state, status,
          uniffi_quorvantile_log_fn_func_keytrans_verify_fixed_version_suite(0xF000, buffer(f.context), buffer(f.vrf),
                                                                             buffer(f.root), buffer(f.alice),
                                                                             buffer(f.fixed), &status));
  }
}

void BM_KeytransVerifyMonitor(benchmark::State& state) {
  const Fixture& f = fixture();
  for (auto _ : state) {
    RustCallStatus status{};
    uniffi_quorvantile_log_fn_func_keytrans_verify_monitor(buffer(f.context), buffer(f.vrf), buffer(f.root),
                                                           buffer(f.alice), buffer(f.monitor), &status);
    check(state, status, RustBuffer{0, 0, nullptr});
  }
}

BENCHMARK(BM_KeytransVerifySearch)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeytransVerifySearchSuite)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeytransVerifyFixedVersion)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeytransVerifyFixedVersionSuite)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeytransVerifyMonitor)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
