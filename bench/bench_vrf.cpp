// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// VRF prove / verify / proof_to_output for both suites, beside the peers a verifier would
// otherwise pay for: OpenSSL's ECDSA P-256 verification (pre-built key, pre-fetched digest) for
// EcvrfP256, and our strict Ed25519 verification for Ecvrf.
#include <benchmark/benchmark.h>
#include <openssl/ec.h>
#include <openssl/evp.h>

#include <array>
#include <stdexcept>

#include "quorvantile_crypto/ed25519.hpp"
#include "vrf/vrf.hpp"

namespace {

using quorvantile_crypto::Bytes;
using quorvantile_log::vrf::Ecvrf;
using quorvantile_log::vrf::EcvrfP256;
using quorvantile_log::vrf::Vrf;

const Bytes kAlpha = {'b', 'e', 'n', 'c', 'h', ' ', 'a', 'l', 'p', 'h', 'a'};

struct Fixture {
  Bytes secret_key;
  Bytes public_key;
  Bytes proof;
};

Fixture make_fixture(const Vrf& vrf) {
  auto pair = vrf.generate_keypair();
  Bytes proof = *vrf.prove(pair.secret_key, kAlpha);
  return {Bytes(pair.secret_key.view().begin(), pair.secret_key.view().end()), pair.public_key, proof};
}

void run_prove(benchmark::State& state, const Vrf& vrf) {
  const Fixture f = make_fixture(vrf);
  for (auto _ : state) benchmark::DoNotOptimize(vrf.prove(f.secret_key, kAlpha));
}

void run_verify(benchmark::State& state, const Vrf& vrf) {
  const Fixture f = make_fixture(vrf);
  for (auto _ : state) {
    auto r = vrf.verify(f.public_key, kAlpha, f.proof);
    if (!r || !r->has_value()) state.SkipWithError("proof did not verify");
    benchmark::DoNotOptimize(r);
  }
}

void run_proof_to_output(benchmark::State& state, const Vrf& vrf) {
  const Fixture f = make_fixture(vrf);
  for (auto _ : state) benchmark::DoNotOptimize(vrf.proof_to_output(f.proof));
}

void BM_Ecvrf_Prove(benchmark::State& state) { run_prove(state, Ecvrf{}); }
void BM_Ecvrf_Verify(benchmark::State& state) { run_verify(state, Ecvrf{}); }
void BM_Ecvrf_ProofToOutput(benchmark::State& state) { run_proof_to_output(state, Ecvrf{}); }

// Peer: our strict Ed25519 verification of a short message (signature made by OpenSSL).
void BM_Ed25519_VerifyStrict(benchmark::State& state) {
  EVP_PKEY* key = EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519");
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  if (key == nullptr || ctx == nullptr) throw std::runtime_error("OpenSSL setup failed");
  std::array<uint8_t, 32> public_key{};
  std::size_t public_len = public_key.size();
  std::array<uint8_t, 64> signature{};
  std::size_t signature_len = signature.size();
  if (EVP_PKEY_get_raw_public_key(key, public_key.data(), &public_len) != 1 ||
      EVP_DigestSignInit(ctx, nullptr, nullptr, nullptr, key) != 1 ||
      EVP_DigestSign(ctx, signature.data(), &signature_len, kAlpha.data(), kAlpha.size()) != 1) {
    throw std::runtime_error("Ed25519 signing failed");
  }
  for (auto _ : state) {
    const bool ok = quorvantile_crypto::ed25519::verify_strict(public_key, kAlpha, signature);
    if (!ok) state.SkipWithError("Ed25519 verification failed");
    benchmark::DoNotOptimize(ok);
  }
  EVP_MD_CTX_free(ctx);
  EVP_PKEY_free(key);
}

void BM_EcvrfP256_Prove(benchmark::State& state) { run_prove(state, EcvrfP256{}); }
void BM_EcvrfP256_Verify(benchmark::State& state) { run_verify(state, EcvrfP256{}); }
void BM_EcvrfP256_ProofToOutput(benchmark::State& state) { run_proof_to_output(state, EcvrfP256{}); }

// Peer: ECDSA P-256 with SHA-256 over a short message, key and digest prepared outside the loop.
void BM_OpenSsl_EcdsaP256_Verify(benchmark::State& state) {
  EVP_PKEY* key = EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256");
  EVP_MD* md = EVP_MD_fetch(nullptr, "SHA256", nullptr);
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  if (key == nullptr || md == nullptr || ctx == nullptr) throw std::runtime_error("OpenSSL setup failed");
  std::array<uint8_t, 80> signature{};
  std::size_t signature_len = signature.size();
  if (EVP_DigestSignInit(ctx, nullptr, md, nullptr, key) != 1 ||
      EVP_DigestSign(ctx, signature.data(), &signature_len, kAlpha.data(), kAlpha.size()) != 1) {
    throw std::runtime_error("ECDSA signing failed");
  }
  for (auto _ : state) {
    EVP_MD_CTX_reset(ctx);
    int ok = EVP_DigestVerifyInit(ctx, nullptr, md, nullptr, key) == 1 &&
             EVP_DigestVerify(ctx, signature.data(), signature_len, kAlpha.data(), kAlpha.size()) == 1;
    if (!ok) state.SkipWithError("ECDSA verification failed");
    benchmark::DoNotOptimize(ok);
  }
  EVP_MD_CTX_free(ctx);
  EVP_MD_free(md);
  EVP_PKEY_free(key);
}

}  // namespace

BENCHMARK(BM_Ecvrf_Prove);
BENCHMARK(BM_Ecvrf_Verify);
BENCHMARK(BM_Ecvrf_ProofToOutput);
BENCHMARK(BM_Ed25519_VerifyStrict);
BENCHMARK(BM_EcvrfP256_Prove);
BENCHMARK(BM_EcvrfP256_Verify);
BENCHMARK(BM_EcvrfP256_ProofToOutput);
BENCHMARK(BM_OpenSsl_EcdsaP256_Verify);

BENCHMARK_MAIN();
