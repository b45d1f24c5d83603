// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Key-transparency search and monitoring proofs through the C ABI, beside the VRF verifications
// of the same ladder called directly (the floor: every rung costs one VRF verification; the rest
// is decoding, hashing and the commitment). Proofs come from the test-side directory.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <map>
#include <memory>
#include <stdexcept>

#include "../tests/support/kt_directory.hpp"
#include "quorvantile_log.h"

namespace {

using qv_kt::Bytes;

struct Fixture {
  std::unique_ptr<qv_kt::Directory> dir;
  Bytes label;
  Bytes search;
  Bytes monitor;
  std::vector<std::pair<Bytes, Bytes>> rungs;  // alpha, vrf proof of the search ladder
};

const qv_kt::Suite& suite(int64_t i) { return qv_kt::suites()[static_cast<std::size_t>(i)]; }

// A label whose versions are those of the ladders of `greatest` (the others never enter a proof),
// beside 200 other labels.
const Fixture& fixture(int64_t suite_index, uint32_t greatest) {
  static std::map<std::pair<int64_t, uint32_t>, Fixture> cache;
  auto& f = cache[{suite_index, greatest}];
  if (f.dir) return f;
  f.dir = std::make_unique<qv_kt::Directory>(suite(suite_index), "bench/keytrans/v1");
  f.label = qv_kt::to_bytes("bench-label");
  std::vector<uint32_t> versions;
  for (uint64_t v : qv_kt::binary_ladder(greatest))
    if (v <= greatest) versions.push_back(static_cast<uint32_t>(v));
  f.dir->add_versions(f.label, versions);
  for (int i = 0; i < 200; ++i) f.dir->add_label(qv_kt::to_bytes("other-" + std::to_string(i)), 1);
  f.dir->publish(1000, 999);
  const auto proof = f.dir->search(f.label);
  f.search = qv_kt::encode(proof);
  f.monitor = qv_kt::encode(f.dir->monitor(f.label, greatest));
  for (const auto& s : proof.ladder) {
    qv_kt::Writer alpha;
    alpha.vec(1, f.label).u32(s.version);
    f.rungs.emplace_back(alpha.out, s.vrf_proof);
  }
  return f;
}

struct Library {
  void* handle;
  decltype(&ffi_quorvantile_log_rustbuffer_from_bytes) from_bytes;
  decltype(&ffi_quorvantile_log_rustbuffer_free) free;
  decltype(&uniffi_quorvantile_log_fn_func_keytrans_verify_search_suite) search;
  decltype(&uniffi_quorvantile_log_fn_func_keytrans_verify_monitor_suite) monitor;
  Library() {
    handle = dlopen(QV_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!handle) throw std::runtime_error(dlerror());
    from_bytes = reinterpret_cast<decltype(from_bytes)>(dlsym(handle, "ffi_quorvantile_log_rustbuffer_from_bytes"));
    free = reinterpret_cast<decltype(free)>(dlsym(handle, "ffi_quorvantile_log_rustbuffer_free"));
    search = reinterpret_cast<decltype(search)>(dlsym(handle, "uniffi_quorvantile_log_fn_func_keytrans_verify_search_suite"));
    monitor =
        reinterpret_cast<decltype(monitor)>(dlsym(handle, "uniffi_quorvantile_log_fn_func_keytrans_verify_monitor_suite"));
    if (!from_bytes || !free || !search || !monitor) throw std::runtime_error("missing symbol");
  }
  RustBuffer raw(const Bytes& b) const {
    RustCallStatus st{};
    return from_bytes(ForeignBytes{static_cast<int32_t>(b.size()), b.data()}, &st);
  }
  // sequence<u8>: a 4-byte count, then the bytes.
  RustBuffer seq(const Bytes& b) const {
    qv_kt::Writer w;
    w.vec(4, b);
    return raw(w.out);
  }
};

const Library& lib() {
  static const Library l;
  return l;
}

uint32_t greatest_of(int64_t arg) { return arg == 20 ? (1u << 20) : static_cast<uint32_t>(arg); }

void BM_KeytransSearchCAbi(benchmark::State& state) {
  const Fixture& f = fixture(state.range(0), greatest_of(state.range(1)));
  const auto& d = *f.dir;
  const auto root = d.root();
  const Bytes root_bytes(root.begin(), root.end());
  const Bytes context = qv_kt::to_bytes(d.context());
  for (auto _ : state) {
    RustCallStatus status{};
    RustBuffer out = lib().search(d.suite().id, lib().raw(context), lib().seq(d.vrf_public()), lib().seq(root_bytes),
                                  lib().seq(f.label), lib().seq(f.search), &status);
    if (status.code != 0) state.SkipWithError("verification failed");
    RustCallStatus st{};
    lib().free(out, &st);
  }
  state.counters["rungs"] = static_cast<double>(f.rungs.size());
}

void BM_KeytransMonitorCAbi(benchmark::State& state) {
  const Fixture& f = fixture(state.range(0), 1u << 20);
  const auto& d = *f.dir;
  const auto root = d.root();
  const Bytes root_bytes(root.begin(), root.end());
  const Bytes context = qv_kt::to_bytes(d.context());
  for (auto _ : state) {
    RustCallStatus status{};
    lib().monitor(d.suite().id, lib().raw(context), lib().seq(d.vrf_public()), lib().seq(root_bytes),
                  lib().seq(f.label), lib().seq(f.monitor), &status);
    if (status.code != 0) state.SkipWithError("verification failed");
  }
}

// The VRF verifications of the search ladder alone.
void BM_KeytransSearchVrfOnly(benchmark::State& state) {
  const Fixture& f = fixture(state.range(0), greatest_of(state.range(1)));
  const auto& vrf = *f.dir->suite().vrf;
  for (auto _ : state) {
    for (const auto& [alpha, proof] : f.rungs) {
      auto v = vrf.verify(f.dir->vrf_public(), alpha, proof);
      if (!v || !v->has_value()) state.SkipWithError("vrf failed");
      benchmark::DoNotOptimize(v);
    }
  }
}

// The VRF verifications of the monitoring ladder of 2^20 alone.
void BM_KeytransMonitorVrfOnly(benchmark::State& state) {
  const Fixture& f = fixture(state.range(0), 1u << 20);
  const auto& vrf = *f.dir->suite().vrf;
  for (auto _ : state) {
    for (const auto& [alpha, proof] : f.rungs) {
      qv_kt::Writer w;
      const uint32_t version = static_cast<uint32_t>(alpha[alpha.size() - 4]) << 24 |
                               static_cast<uint32_t>(alpha[alpha.size() - 3]) << 16 |
                               static_cast<uint32_t>(alpha[alpha.size() - 2]) << 8 | alpha.back();
      if (version > (1u << 20)) continue;
      auto v = vrf.verify(f.dir->vrf_public(), alpha, proof);
      benchmark::DoNotOptimize(v);
    }
  }
}

// Suites by index: 0 = 0xF000, 1 = 0x0001 (P-256), 2 = 0x0002; greatest 1, 100 and 20 for 2^20.
void search_args(benchmark::internal::Benchmark* b) {
  b->ArgNames({"suite", "greatest"});
  for (int s = 0; s < 3; ++s)
    for (int g : {1, 100, 20}) b->Args({s, g});
}
BENCHMARK(BM_KeytransSearchCAbi)->Apply(search_args)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeytransSearchVrfOnly)->Apply(search_args)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeytransMonitorCAbi)->ArgName("suite")->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeytransMonitorVrfOnly)->ArgName("suite")->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
