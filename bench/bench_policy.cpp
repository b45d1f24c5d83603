// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// signed_policy_verify through the C ABI of the built shared object, for envelopes signed with
// tags 0x02 (Ed25519 + ML-DSA-65) and 0x14 (ECDSA P-521 + ML-DSA-87), against the framed verify
// of the same signature over the same canonical bytes (the call's floor); and each enforcement
// export against signed_policy_verify of the same envelope. Reported as ratios (aim <= 1.05),
// every pair measured interleaved in one run on thread CPU time.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <nlohmann/json.hpp>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "encoding/base64.hpp"
#include "policy/namespace_policy.hpp"
#include "quorvantile_crypto/hash.hpp"
#include "quorvantile_crypto/sign.hpp"
#include "quorvantile_log.h"

namespace {

using quorvantile_crypto::Bytes;

double thread_ns() {
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e9 + static_cast<double>(ts.tv_nsec);
}

// Best of `reps` rounds for each call, the two calls alternating round by round.
std::pair<double, double> paired_best_ns(int rounds, int reps, const std::function<void()>& a,
                                         const std::function<void()>& b) {
  double best_a = 1e30, best_b = 1e30;
  for (int rep = 0; rep < reps; ++rep) {
    double t = thread_ns();
    for (int i = 0; i < rounds; ++i) a();
    best_a = std::min(best_a, (thread_ns() - t) / rounds);
    t = thread_ns();
    for (int i = 0; i < rounds; ++i) b();
    best_b = std::min(best_b, (thread_ns() - t) / rounds);
  }
  return {best_a, best_b};
}

Bytes from_hex(const std::string& hex) {
  Bytes out(hex.size() / 2);
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = static_cast<uint8_t>(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
  return out;
}

Bytes envelope_signed_with(const std::string& tag) {
  std::ifstream in(std::string(QV_TEST_DATA_DIR) + "/policy/policies.json");
  const auto doc = nlohmann::json::parse(in);
  for (const auto& c : doc["cases"])
    if (c["signature_tag"] == tag && !c.contains("error")) return from_hex(c["envelope"].get<std::string>());
  throw std::runtime_error("no envelope signed with tag " + tag);
}

struct Library {
  void* handle;
  decltype(&ffi_quorvantile_log_rustbuffer_from_bytes) from_bytes;
  decltype(&ffi_quorvantile_log_rustbuffer_free) free_buffer;
  decltype(&uniffi_quorvantile_log_fn_func_signed_policy_verify) verify;
  decltype(&uniffi_quorvantile_log_fn_func_policy_enforce_checkpoint_signature) enforce_signature;
  decltype(&uniffi_quorvantile_log_fn_func_policy_enforce_checkpoint_signing_key) enforce_key;
  decltype(&uniffi_quorvantile_log_fn_func_policy_enforce_commitment_hash) enforce_commitment;
  decltype(&uniffi_quorvantile_log_fn_func_policy_enforce_directory_backend) enforce_backend;
  decltype(&uniffi_quorvantile_log_fn_func_policy_enforce_vrf_suite_id) enforce_vrf;
  template <class F>
  void load(F& f, const char* name) {
    f = reinterpret_cast<F>(dlsym(handle, name));
    if (!f) throw std::runtime_error(std::string("missing ") + name);
  }
  Library() {
    handle = dlopen(QV_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!handle) throw std::runtime_error(dlerror());
    load(from_bytes, "ffi_quorvantile_log_rustbuffer_from_bytes");
    load(free_buffer, "ffi_quorvantile_log_rustbuffer_free");
    load(verify, "uniffi_quorvantile_log_fn_func_signed_policy_verify");
    load(enforce_signature, "uniffi_quorvantile_log_fn_func_policy_enforce_checkpoint_signature");
    load(enforce_key, "uniffi_quorvantile_log_fn_func_policy_enforce_checkpoint_signing_key");
    load(enforce_commitment, "uniffi_quorvantile_log_fn_func_policy_enforce_commitment_hash");
    load(enforce_backend, "uniffi_quorvantile_log_fn_func_policy_enforce_directory_backend");
    load(enforce_vrf, "uniffi_quorvantile_log_fn_func_policy_enforce_vrf_suite_id");
  }
  RustBuffer buf(const Bytes& b) const {
    RustCallStatus st{};
    return from_bytes(ForeignBytes{static_cast<int32_t>(b.size()), b.data()}, &st);
  }
};

const Library& lib() {
  static const Library l;
  return l;
}

Bytes seq(const Bytes& b) {
  Bytes out(4 + b.size());
  for (int i = 0; i < 4; ++i) out[static_cast<std::size_t>(i)] = static_cast<uint8_t>(b.size() >> (24 - 8 * i));
  std::copy(b.begin(), b.end(), out.begin() + 4);
  return out;
}

void abi_verify(const Bytes& envelope_arg) {
  RustCallStatus status{};
  const RustBuffer out = lib().verify(lib().buf(envelope_arg), &status);
  if (status.code != 0) throw std::runtime_error("signed_policy_verify failed");
  RustCallStatus st{};
  lib().free_buffer(out, &st);
}

// signed_policy_verify against the framed verify of the envelope's own signature and key over
// the canonical bytes under the policy's label.
void BM_SignedPolicyVerifyVsFramedVerify(benchmark::State& state) {
  const std::string tag = state.range(0) == 2 ? "02" : "14";
  const Bytes envelope = envelope_signed_with(tag);
  const auto parsed = quorvantile_log::policy::SignedPolicy::parse(envelope).value();
  const Bytes canonical = parsed.policy.canonical_bytes();
  const std::string label = parsed.policy.context_label().value();
  const std::string sig = quorvantile_log::encoding::base64_encode(parsed.signature);
  const std::string key = quorvantile_log::encoding::base64_encode(parsed.public_key);
  const Bytes arg = seq(envelope);
  auto framed = [&] {
    const auto r = quorvantile_crypto::verify(canonical, quorvantile_crypto::as_bytes(label), sig, key);
    if (!r || !*r) throw std::runtime_error("framed verify failed");
  };
  for (auto _ : state) abi_verify(arg);
  const auto [call, floor] = paired_best_ns(20, 30, [&] { abi_verify(arg); }, framed);
  state.counters["call_us"] = call / 1e3;
  state.counters["framed_verify_us"] = floor / 1e3;
  state.counters["ratio"] = call / floor;
  // Everything the call adds to the framed verify, timed alone (less exposed to the noise of two
  // large totals): parsing, canonical bytes, label, token encoding, the two hashes.
  const auto [layer, unused] = paired_best_ns(200, 10, [&] {
    const auto p = quorvantile_log::policy::SignedPolicy::parse(envelope).value();
    const Bytes c = p.policy.canonical_bytes();
    const std::string l = p.policy.context_label().value();
    benchmark::DoNotOptimize(quorvantile_log::encoding::base64_encode(p.signature));
    benchmark::DoNotOptimize(quorvantile_log::encoding::base64_encode(p.public_key));
    benchmark::DoNotOptimize(quorvantile_crypto::sha3_512_with_context(quorvantile_crypto::as_bytes(l), c));
    benchmark::DoNotOptimize(quorvantile_crypto::sha256(c));
  }, [] {});
  state.counters["policy_layer_us"] = layer / 1e3;
  state.counters["layer_ratio"] = (floor + layer) / floor;
}
BENCHMARK(BM_SignedPolicyVerifyVsFramedVerify)->ArgName("tag")->Arg(2)->Arg(0x14)->Iterations(50);

// Each enforcement export (with a matching observed value) against signed_policy_verify.
void BM_EnforceVsSignedPolicyVerify(benchmark::State& state) {
  const Bytes envelope = envelope_signed_with("02");  // a Cat3 / Hybrid / Coniks policy
  const Bytes arg = seq(envelope);
  const std::string sig_token = quorvantile_log::encoding::base64_encode(Bytes(3374, 0x02));
  const std::string key_token = quorvantile_log::encoding::base64_encode(Bytes(1985, 0x02));
  const Bytes sha3_256 = {0, 0, 0, 1};
  const std::function<void(RustCallStatus*)> calls[] = {
      [&](RustCallStatus* s) {
        lib().enforce_signature(lib().buf(arg), lib().buf(Bytes(sig_token.begin(), sig_token.end())), s);
      },
      [&](RustCallStatus* s) { lib().enforce_key(lib().buf(arg), lib().buf(Bytes(key_token.begin(), key_token.end())), s); },
      [&](RustCallStatus* s) { lib().enforce_commitment(lib().buf(arg), lib().buf(sha3_256), s); },
      [&](RustCallStatus* s) { lib().enforce_backend(lib().buf(arg), 0x0001, s); },
      [&](RustCallStatus* s) { lib().enforce_vrf(lib().buf(arg), 0x03, s); },
  };
  const auto& call = calls[state.range(0)];
  auto enforce = [&] {
    RustCallStatus status{};
    call(&status);
    if (status.code != 0) throw std::runtime_error("enforcement failed");
  };
  for (auto _ : state) enforce();
  const auto [e, v] = paired_best_ns(20, 30, enforce, [&] { abi_verify(arg); });
  state.counters["call_us"] = e / 1e3;
  state.counters["signed_policy_verify_us"] = v / 1e3;
  state.counters["ratio"] = e / v;
}
BENCHMARK(BM_EnforceVsSignedPolicyVerify)
    ->ArgName("export")  // 0 signature, 1 signing key, 2 commitment hash, 3 backend, 4 vrf suite
    ->DenseRange(0, 4)
    ->Iterations(50);

}  // namespace

BENCHMARK_MAIN();
