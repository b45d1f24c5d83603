// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// verify_inclusion for trees of 2^20 and 2^40 leaves, called directly and through the C ABI of the
// built shared object, against the raw cost of the same number of 65-byte SHA-256 computations
// (algorithm fetched once, one reused context) measured in the same run.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <openssl/evp.h>

#include <time.h>

#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "merkle/merkle.hpp"
#include "quorvantile_log.h"

namespace {

using quorvantile_crypto::Bytes;
// Thread CPU time: the figures stay comparable when other work shares the machine.
struct Clock {
  using duration = std::chrono::nanoseconds;
  using time_point = std::chrono::time_point<Clock, duration>;
  static time_point now() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return time_point(duration(ts.tv_sec * 1'000'000'000LL + ts.tv_nsec));
  }
};

struct Fixture {
  uint64_t index, size;
  Bytes leaf, root;
  std::vector<Bytes> proof;
};

// A proof whose hashes are arbitrary and whose root is computed to match, so the call verifies.
Fixture make_fixture(unsigned height) {
  Fixture f;
  f.size = uint64_t{1} << height;
  f.index = f.size / 3;
  f.leaf = Bytes(32, 0x42);
  quorvantile_crypto::Hash32 acc;
  std::copy(f.leaf.begin(), f.leaf.end(), acc.begin());
  for (unsigned i = 0; i < height; ++i) {
    Bytes p(32, static_cast<uint8_t>(i));
    quorvantile_crypto::Hash32 ph;
    std::copy(p.begin(), p.end(), ph.begin());
    acc = ((f.index >> i) & 1) ? quorvantile_log::merkle::hash_node(ph, acc) : quorvantile_log::merkle::hash_node(acc, ph);
    f.proof.push_back(p);
  }
  f.root.assign(acc.begin(), acc.end());
  const std::vector<quorvantile_crypto::ByteView> views(f.proof.begin(), f.proof.end());
  if (!quorvantile_log::merkle::verify_inclusion(f.index, f.size, f.leaf, views, f.root)) throw std::runtime_error("fixture");
  return f;
}

// Nanoseconds per 65-byte SHA-256 at OpenSSL's best.
double raw_hash_ns() {
  static const double ns = [] {
    EVP_MD* md = EVP_MD_fetch(nullptr, "SHA256", nullptr);
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    uint8_t in[65] = {1}, out[32];
    constexpr int kRounds = 400000;
    double best = 1e30;
    for (int rep = 0; rep < 5; ++rep) {
      const auto start = Clock::now();
      for (int i = 0; i < kRounds; ++i) {
        EVP_DigestInit_ex2(ctx, md, nullptr);
        EVP_DigestUpdate(ctx, in, sizeof in);
        EVP_DigestFinal_ex(ctx, out, nullptr);
        in[1] = out[0];
      }
      best = std::min(best, std::chrono::duration<double, std::nano>(Clock::now() - start).count() / kRounds);
    }
    EVP_MD_CTX_free(ctx);
    EVP_MD_free(md);
    return best;
  }();
  return ns;
}

void report(benchmark::State& state, Clock::time_point start, std::size_t hashes) {
  const double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count() /
                    static_cast<double>(state.iterations());
  state.counters["ns_per_call"] = ns;
  state.counters["raw_hash_ns"] = raw_hash_ns() * static_cast<double>(hashes);
  state.counters["ratio_to_raw"] = ns / (raw_hash_ns() * static_cast<double>(hashes));
}

void BM_RawSha256x65(benchmark::State& state) {
  EVP_MD* md = EVP_MD_fetch(nullptr, "SHA256", nullptr);
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  uint8_t in[65] = {1}, out[32];
  for (auto _ : state) {
    EVP_DigestInit_ex2(ctx, md, nullptr);
    EVP_DigestUpdate(ctx, in, sizeof in);
    EVP_DigestFinal_ex(ctx, out, nullptr);
    benchmark::DoNotOptimize(out);
  }
  EVP_MD_CTX_free(ctx);
  EVP_MD_free(md);
}
BENCHMARK(BM_RawSha256x65);

void BM_VerifyInclusionDirect(benchmark::State& state) {
  const Fixture f = make_fixture(static_cast<unsigned>(state.range(0)));
  const std::vector<quorvantile_crypto::ByteView> proof(f.proof.begin(), f.proof.end());
  const auto start = Clock::now();
  for (auto _ : state) {
    auto r = quorvantile_log::merkle::verify_inclusion(f.index, f.size, f.leaf, proof, f.root);
    benchmark::DoNotOptimize(r);
  }
  report(state, start, f.proof.size());
}
BENCHMARK(BM_VerifyInclusionDirect)->Arg(20)->Arg(40);

// The C ABI of the built shared object, loaded as a client would; each call builds its argument
// buffers (they are consumed by the call), as generated bindings do.
struct Library {
  void* handle;
  decltype(&ffi_quorvantile_log_rustbuffer_from_bytes) from_bytes;
  decltype(&uniffi_quorvantile_log_fn_func_verify_inclusion) verify_inclusion;
  Library() {
    handle = dlopen(QV_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!handle) throw std::runtime_error(dlerror());
    from_bytes = reinterpret_cast<decltype(from_bytes)>(dlsym(handle, "ffi_quorvantile_log_rustbuffer_from_bytes"));
    verify_inclusion =
        reinterpret_cast<decltype(verify_inclusion)>(dlsym(handle, "uniffi_quorvantile_log_fn_func_verify_inclusion"));
  }
};

Bytes encode(const Bytes& b) {
  Bytes out(4 + b.size());
  for (int i = 0; i < 4; ++i) out[static_cast<std::size_t>(i)] = static_cast<uint8_t>(b.size() >> (24 - 8 * i));
  std::copy(b.begin(), b.end(), out.begin() + 4);
  return out;
}

void BM_VerifyInclusionCAbi(benchmark::State& state) {
  static const Library lib;
  const Fixture f = make_fixture(static_cast<unsigned>(state.range(0)));
  const Bytes leaf = encode(f.leaf), root = encode(f.root);
  Bytes proof{0, 0, 0, static_cast<uint8_t>(f.proof.size())};
  for (const auto& p : f.proof)
    for (uint8_t x : encode(p)) proof.push_back(x);
  auto buf = [&](const Bytes& b) {
    RustCallStatus st{};
    return lib.from_bytes(ForeignBytes{static_cast<int32_t>(b.size()), b.data()}, &st);
  };
  const auto start = Clock::now();
  for (auto _ : state) {
    RustCallStatus status{};
    lib.verify_inclusion(f.index, f.size, buf(leaf), buf(proof), buf(root), &status);
    if (status.code != 0) state.SkipWithError("verification failed");
  }
  report(state, start, f.proof.size());
}
BENCHMARK(BM_VerifyInclusionCAbi)->Arg(20)->Arg(40);

}  // namespace

BENCHMARK_MAIN();
