// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// edwards25519 and Ed25519 verification, with OpenSSL and libsodium measured in the same run as
// peers: field multiplication, fixed- and variable-base scalar multiplication, verification.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <array>
#include <stdexcept>
#include <vector>

#include "ed25519/field.hpp"
#include "ed25519/group.hpp"
#include "openssl_util.hpp"
#include "quorvantile_crypto/ed25519.hpp"

#ifdef QV_HAVE_SODIUM
#include <sodium.h>
#endif

namespace {

namespace ed = quorvantile_crypto::ed25519;
namespace ossl = quorvantile_crypto::ossl;

struct Signed {
  std::array<uint8_t, 32> seed{};
  std::array<uint8_t, 32> public_key{};
  std::vector<uint8_t> message = std::vector<uint8_t>(128);
  std::array<uint8_t, 64> signature{};
  ossl::Pkey verify_key;
};

// One key and one signed 128-byte message (about the size of a checkpoint note), made by OpenSSL.
const Signed& fixture() {
  static const Signed s = [] {
    Signed f;
    if (RAND_bytes(f.seed.data(), 32) != 1 || RAND_bytes(f.message.data(), 128) != 1) throw std::runtime_error("rand");
    ossl::Pkey sk(EVP_PKEY_new_raw_private_key(EVP_PKEY_ED25519, nullptr, f.seed.data(), 32));
    size_t len = 32;
    if (!sk || EVP_PKEY_get_raw_public_key(sk.get(), f.public_key.data(), &len) != 1) throw std::runtime_error("key");
    const ossl::MdCtx ctx = ossl::new_md_ctx();
    size_t sig_len = 64;
    if (EVP_DigestSignInit_ex(ctx.get(), nullptr, nullptr, nullptr, nullptr, sk.get(), nullptr) != 1 ||
        EVP_DigestSign(ctx.get(), f.signature.data(), &sig_len, f.message.data(), f.message.size()) != 1)
      throw std::runtime_error("sign");
    f.verify_key.reset(EVP_PKEY_new_raw_public_key(EVP_PKEY_ED25519, nullptr, f.public_key.data(), 32));
    return f;
  }();
  return s;
}

ed::Scalar random_scalar() {
  std::array<uint8_t, 64> wide;
  RAND_bytes(wide.data(), 64);
  return ed::scalar_reduce64(wide);
}

void BM_FieldMul(benchmark::State& state) {
  ed::Fe a = ed::fe_carry({{1234567, 7654321, 42, 99, 123456789}});
  const ed::Fe b = ed::fe_carry({{0x7ffffffffffff, 0x1234567890abc, 5, 0x7ffffffffffff, 77}});
  for (auto _ : state) {
    a = ed::fe_mul(a, b);  // a dependent chain: latency, as in the formulas
    benchmark::DoNotOptimize(a);
  }
}
BENCHMARK(BM_FieldMul);

void BM_FieldSquare(benchmark::State& state) {
  ed::Fe a = ed::fe_carry({{1234567, 7654321, 42, 99, 123456789}});
  for (auto _ : state) {
    a = ed::fe_sq(a);
    benchmark::DoNotOptimize(a);
  }
}
BENCHMARK(BM_FieldSquare);

void BM_MulBase(benchmark::State& state) {
  const ed::Scalar s = random_scalar();
  for (auto _ : state) benchmark::DoNotOptimize(ed::mul_base(s));
}
BENCHMARK(BM_MulBase);

void BM_MulVariableBase(benchmark::State& state) {
  const ed::Scalar s = random_scalar();
  const ed::Point p = ed::mul_base(random_scalar());
  for (auto _ : state) benchmark::DoNotOptimize(ed::mul(s, p));
}
BENCHMARK(BM_MulVariableBase);

// a A + b B, the bulk of a verification, on each backend (IFMA is skipped on CPUs without it).
void BM_DoubleScalarMul(benchmark::State& state, ed::Backend backend) {
  if (!ed::backend_available(backend)) {
    state.SkipWithError("this CPU lacks AVX-512F/VL/IFMA");
    return;
  }
  const ed::Scalar a = random_scalar(), b = random_scalar();
  const ed::Point p = ed::mul_base(random_scalar());
  for (auto _ : state) benchmark::DoNotOptimize(ed::double_mul_base_vartime(a, p, b, backend));
}
BENCHMARK_CAPTURE(BM_DoubleScalarMul, portable, ed::Backend::Portable);
BENCHMARK_CAPTURE(BM_DoubleScalarMul, ifma, ed::Backend::Ifma);

void BM_VerifyStrict(benchmark::State& state) {
  const Signed& f = fixture();
  for (auto _ : state)
    if (!ed::verify_strict(f.public_key, f.message, f.signature)) state.SkipWithError("rejected");
}
BENCHMARK(BM_VerifyStrict);

void BM_VerifyCofactorless(benchmark::State& state) {
  const Signed& f = fixture();
  for (auto _ : state)
    if (!ed::verify_cofactorless(f.public_key, f.message, f.signature)) state.SkipWithError("rejected");
}
BENCHMARK(BM_VerifyCofactorless);

// Peer: OpenSSL EVP Ed25519 with a pre-created key (a context per call, as a caller would).
void BM_OpensslVerify(benchmark::State& state) {
  const Signed& f = fixture();
  const ossl::MdCtx ctx = ossl::new_md_ctx();
  for (auto _ : state) {
    if (EVP_DigestVerifyInit_ex(ctx.get(), nullptr, nullptr, nullptr, nullptr, f.verify_key.get(), nullptr) != 1 ||
        EVP_DigestVerify(ctx.get(), f.signature.data(), 64, f.message.data(), f.message.size()) != 1)
      state.SkipWithError("rejected");
  }
}
BENCHMARK(BM_OpensslVerify);

#ifdef QV_HAVE_SODIUM
void BM_SodiumVerify(benchmark::State& state) {
  const Signed& f = fixture();
  if (sodium_init() < 0) state.SkipWithError("sodium_init");
  for (auto _ : state)
    if (crypto_sign_verify_detached(f.signature.data(), f.message.data(), f.message.size(), f.public_key.data()) != 0)
      state.SkipWithError("rejected");
}
BENCHMARK(BM_SodiumVerify);

void BM_SodiumMulBase(benchmark::State& state) {
  if (sodium_init() < 0) state.SkipWithError("sodium_init");
  const ed::Scalar s = random_scalar();
  std::array<uint8_t, 32> out;
  for (auto _ : state) {
    if (crypto_scalarmult_ed25519_base_noclamp(out.data(), s.bytes.data()) != 0) state.SkipWithError("failed");
    benchmark::DoNotOptimize(out);
  }
}
BENCHMARK(BM_SodiumMulBase);

void BM_SodiumMulVariableBase(benchmark::State& state) {
  if (sodium_init() < 0) state.SkipWithError("sodium_init");
  const ed::Scalar s = random_scalar();
  const ed::Encoding p = ed::encode(ed::mul_base(random_scalar()));
  std::array<uint8_t, 32> out;
  for (auto _ : state) {
    if (crypto_scalarmult_ed25519_noclamp(out.data(), s.bytes.data(), p.data()) != 0) state.SkipWithError("failed");
    benchmark::DoNotOptimize(out);
  }
}
BENCHMARK(BM_SodiumMulVariableBase);
#endif

}  // namespace

BENCHMARK_MAIN();
