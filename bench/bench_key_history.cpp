// The four key-history exports through the C ABI of the built shared object for a 1,300-byte
// entry (32-byte X25519 key, 1,136-byte post-quantum key, 32-byte signing key, 64-byte previous
// hash), each against one digest of the canonical bytes measured in the same run with a reused
// OpenSSL context: SHA3-512 with the key-history context for the canonical bytes and the two
// entry hashes, SHA-256 of 0x00 and the canonical bytes for the leaf hash. The aim is at most 1.3x.
// The *SideBySide benchmarks interleave the call, the peer and (when QV_BASELINE_LIBRARY names an
// earlier build's shared object) the earlier build's call, with medians and spreads of the
// ratios; BM_AbiFixedCost is the price of one C ABI call: the canonical bytes of an entry with
// empty fields (36 bytes, no hashing) through the ABI against the work operation called directly.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <openssl/evp.h>
#include <time.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "interleaved.hpp"
#include "leaf/key_history.hpp"
#include "quorvantile_log.h"

namespace {

using Bytes = std::vector<uint8_t>;

double thread_ns() {
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e9 + static_cast<double>(ts.tv_nsec);
}

double best_ns(int rounds, const std::function<void()>& call) {
  double best = 1e30;
  for (int rep = 0; rep < 7; ++rep) {
    const double start = thread_ns();
    for (int i = 0; i < rounds; ++i) call();
    best = std::min(best, (thread_ns() - start) / rounds);
  }
  return best;
}

template <class F>
F symbol(void* handle, const char* name) {
  auto f = reinterpret_cast<F>(dlsym(handle, name));
  if (f == nullptr) throw std::runtime_error(std::string("missing ") + name);
  return f;
}

void* open_library(const char* path) {
  void* h = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (h == nullptr) throw std::runtime_error(dlerror());
  return h;
}

struct Abi {
  explicit Abi(const char* path = QV_LIBRARY_PATH) : h(open_library(path)) {}
  void* h;
  decltype(&ffi_quorvantile_log_rustbuffer_from_bytes) from_bytes =
      symbol<decltype(from_bytes)>(h, "ffi_quorvantile_log_rustbuffer_from_bytes");
  decltype(&ffi_quorvantile_log_rustbuffer_free) free_buffer =
      symbol<decltype(free_buffer)>(h, "ffi_quorvantile_log_rustbuffer_free");
  decltype(&uniffi_quorvantile_log_fn_func_key_history_v1_canonical_bytes) canonical =
      symbol<decltype(canonical)>(h, "uniffi_quorvantile_log_fn_func_key_history_v1_canonical_bytes");
  decltype(&uniffi_quorvantile_log_fn_func_key_history_v1_entry_hash) entry_hash =
      symbol<decltype(entry_hash)>(h, "uniffi_quorvantile_log_fn_func_key_history_v1_entry_hash");
  decltype(&uniffi_quorvantile_log_fn_func_key_history_v1_rfc6962_leaf_hash) leaf_hash =
      symbol<decltype(leaf_hash)>(h, "uniffi_quorvantile_log_fn_func_key_history_v1_rfc6962_leaf_hash");
  decltype(&uniffi_quorvantile_log_fn_func_key_history_entry_hash_with_context) with_context =
      symbol<decltype(with_context)>(h, "uniffi_quorvantile_log_fn_func_key_history_entry_hash_with_context");

  RustBuffer raw(const Bytes& b) const {
    RustCallStatus s{};
    return from_bytes(ForeignBytes{static_cast<int32_t>(b.size()), b.data()}, &s);
  }
  static Bytes seq(const Bytes& b, std::size_t tag_bytes = 0) {
    Bytes out(tag_bytes, 1);
    const auto n = static_cast<uint32_t>(b.size());
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(n >> s));
    for (uint8_t v : b) out.push_back(v);
    return out;
  }
};

const Abi& abi() {
  static const Abi a;
  return a;
}

const Abi* baseline() {
  static const std::unique_ptr<Abi> a = [] {
    const char* path = std::getenv("QV_BASELINE_LIBRARY");
    return path ? std::make_unique<Abi>(path) : nullptr;
  }();
  return a.get();
}

// Encoded arguments, ready to be copied into fresh buffers for every call.
struct Entry {
  Bytes x = Abi::seq(Bytes(32, 1)), pq = Abi::seq(Bytes(1136, 2)), sig = Abi::seq(Bytes(32, 3)),
        prev = Abi::seq(Bytes(64, 4), 1);
  Bytes canonical_bytes;
};

enum Which { Canonical, EntryHash, LeafHash, WithContext };

void run(benchmark::State& state, Which which) {
  const Abi& a = abi();
  static Entry e;
  const std::string label = "tarnfel/key-history/v1";
  auto call = [&] {
    RustCallStatus s{};
    RustBuffer out{};
    switch (which) {
      case Canonical: out = a.canonical(5, 6, a.raw(e.x), a.raw(e.pq), a.raw(e.sig), a.raw(e.prev), &s); break;
      case EntryHash: out = a.entry_hash(5, 6, a.raw(e.x), a.raw(e.pq), a.raw(e.sig), a.raw(e.prev), &s); break;
      case LeafHash: out = a.leaf_hash(5, 6, a.raw(e.x), a.raw(e.pq), a.raw(e.sig), a.raw(e.prev), &s); break;
      case WithContext:
        out = a.with_context(a.raw(Bytes(label.begin(), label.end())), 5, 6, a.raw(e.x), a.raw(e.pq), a.raw(e.sig),
                             a.raw(e.prev), &s);
        break;
    }
    if (s.code != 0) throw std::runtime_error("call failed");
    a.free_buffer(out, &s);
  };
  for (auto _ : state) call();
  if (e.canonical_bytes.size() != 1300) {
    RustCallStatus s{};
    RustBuffer out = a.canonical(5, 6, a.raw(e.x), a.raw(e.pq), a.raw(e.sig), a.raw(e.prev), &s);
    e.canonical_bytes.assign(out.data + 4, out.data + out.len);
    a.free_buffer(out, &s);
  }
  if (e.canonical_bytes.size() != 1300) throw std::runtime_error("entry is not 1300 bytes");

  EVP_MD* sha3 = EVP_MD_fetch(nullptr, "SHA3-512", nullptr);
  EVP_MD* sha256 = EVP_MD_fetch(nullptr, "SHA256", nullptr);
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  uint8_t out[64];
  auto peer = [&] {
    if (which == LeafHash) {
      const uint8_t zero = 0;
      EVP_DigestInit_ex2(ctx, sha256, nullptr);
      EVP_DigestUpdate(ctx, &zero, 1);
    } else {
      const uint8_t prefix[8] = {0, 0, 0, 0, 0, 0, 0, static_cast<uint8_t>(label.size())};
      EVP_DigestInit_ex2(ctx, sha3, nullptr);
      EVP_DigestUpdate(ctx, prefix, 8);
      EVP_DigestUpdate(ctx, label.data(), label.size());
    }
    EVP_DigestUpdate(ctx, e.canonical_bytes.data(), e.canonical_bytes.size());
    EVP_DigestFinal_ex(ctx, out, nullptr);
    benchmark::DoNotOptimize(out);
  };
  double call_ns = 1e30, peer_ns = 1e30;
  for (int round = 0; round < 3; ++round) {
    call_ns = std::min(call_ns, best_ns(2000, call));
    peer_ns = std::min(peer_ns, best_ns(2000, peer));
  }
  EVP_MD_CTX_free(ctx);
  EVP_MD_free(sha3);
  EVP_MD_free(sha256);
  state.counters["call_ns"] = call_ns;
  state.counters[which == LeafHash ? "sha256_ns" : "sha3_ns"] = peer_ns;
  state.counters["ratio"] = call_ns / peer_ns;
}

void BM_KeyHistoryCanonicalBytesCAbi(benchmark::State& s) { run(s, Canonical); }
void BM_KeyHistoryEntryHashCAbi(benchmark::State& s) { run(s, EntryHash); }
void BM_KeyHistoryEntryHashWithContextCAbi(benchmark::State& s) { run(s, WithContext); }
void BM_KeyHistoryLeafHashCAbi(benchmark::State& s) { run(s, LeafHash); }
// The leaf hash (or the entry hash) through the ABI against its one digest of the canonical bytes.
void side_by_side(benchmark::State& state, Which which) {
  static Entry e;
  RustCallStatus s{};
  RustBuffer canonical = abi().canonical(5, 6, abi().raw(e.x), abi().raw(e.pq), abi().raw(e.sig), abi().raw(e.prev), &s);
  const Bytes bytes(canonical.data + 4, canonical.data + canonical.len);
  abi().free_buffer(canonical, &s);
  const std::string label = "tarnfel/key-history/v1";
  const auto call = [&](const Abi& a) {
    RustCallStatus st{};
    RustBuffer out = which == LeafHash ? a.leaf_hash(5, 6, a.raw(e.x), a.raw(e.pq), a.raw(e.sig), a.raw(e.prev), &st)
                                       : a.entry_hash(5, 6, a.raw(e.x), a.raw(e.pq), a.raw(e.sig), a.raw(e.prev), &st);
    if (st.code != 0) throw std::runtime_error("call failed");
    a.free_buffer(out, &st);
  };
  EVP_MD* md = EVP_MD_fetch(nullptr, which == LeafHash ? "SHA256" : "SHA3-512", nullptr);
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  uint8_t out[64];
  std::vector<qv_bench::Candidate> candidates = {
      {"ours", [&] { call(abi()); }},
      {"peer", [&] {
         EVP_DigestInit_ex2(ctx, md, nullptr);
         if (which == LeafHash) {
           const uint8_t zero = 0;
           EVP_DigestUpdate(ctx, &zero, 1);
         } else {
           const uint8_t prefix[8] = {0, 0, 0, 0, 0, 0, 0, static_cast<uint8_t>(label.size())};
           EVP_DigestUpdate(ctx, prefix, 8);
           EVP_DigestUpdate(ctx, label.data(), label.size());
         }
         EVP_DigestUpdate(ctx, bytes.data(), bytes.size());
         EVP_DigestFinal_ex(ctx, out, nullptr);
         benchmark::DoNotOptimize(out);
       }}};
  std::vector<std::pair<std::size_t, std::size_t>> pairs = {{0, 1}};
  if (const Abi* before = baseline()) {
    candidates.push_back({"before", [&, before] { call(*before); }});
    pairs.push_back({2, 1});
  }
  for (auto _ : state) qv_bench::report(state, candidates, qv_bench::interleave(candidates, 21, 500), pairs);
  EVP_MD_CTX_free(ctx);
  EVP_MD_free(md);
}

void BM_KeyHistoryLeafHashSideBySide(benchmark::State& s) { side_by_side(s, LeafHash); }
void BM_KeyHistoryEntryHashSideBySide(benchmark::State& s) { side_by_side(s, EntryHash); }
BENCHMARK(BM_KeyHistoryLeafHashSideBySide)->Iterations(1);
BENCHMARK(BM_KeyHistoryEntryHashSideBySide)->Iterations(1);

// One ABI call's fixed cost: an entry with empty fields has 36 canonical bytes and no digest, so
// the ABI call is almost all argument buffers, lifting, lowering and freeing. "abi" includes the
// four argument buffers a client allocates through the library, "work" is the work operation
// called directly with the same values.
void BM_AbiFixedCost(benchmark::State& state) {
  const Abi& a = abi();
  const Bytes empty = Abi::seq({}), absent = {0};
  const auto abi_call = [&](const Abi& lib) {
    RustCallStatus st{};
    RustBuffer out = lib.canonical(5, 6, lib.raw(empty), lib.raw(empty), lib.raw(empty), lib.raw(absent), &st);
    if (st.code != 0) throw std::runtime_error("call failed");
    lib.free_buffer(out, &st);
  };
  std::vector<qv_bench::Candidate> candidates = {
      {"abi", [&] { abi_call(a); }},
      {"work", [] {
         auto r = quorvantile_log::leaf::key_history_v1_canonical_bytes(5, 6, {}, {}, {}, std::nullopt);
         benchmark::DoNotOptimize(r);
       }}};
  std::vector<std::pair<std::size_t, std::size_t>> pairs = {{0, 1}};
  if (const Abi* before = baseline()) {
    candidates.push_back({"before", [&, before] { abi_call(*before); }});
    pairs.push_back({2, 1});
  }
  for (auto _ : state) {
    const auto ns = qv_bench::interleave(candidates, 21, 2000);
    qv_bench::report(state, candidates, ns, pairs);
    std::vector<double> fixed;
    for (std::size_t r = 0; r < ns[0].size(); ++r) fixed.push_back(ns[0][r] - ns[1][r]);
    state.counters["fixed_ns"] = qv_bench::median(fixed);
  }
}
BENCHMARK(BM_AbiFixedCost)->Iterations(1);

BENCHMARK(BM_KeyHistoryCanonicalBytesCAbi)->Iterations(2000);
BENCHMARK(BM_KeyHistoryEntryHashCAbi)->Iterations(2000);
BENCHMARK(BM_KeyHistoryEntryHashWithContextCAbi)->Iterations(2000);
BENCHMARK(BM_KeyHistoryLeafHashCAbi)->Iterations(2000);

}  // namespace

BENCHMARK_MAIN();
