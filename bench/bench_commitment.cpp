// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// verify_commitment through the C ABI for a 1,300-byte value, beside its irreducible work measured
// in the same run: one SHA3-512 with context over the 32-byte opening and the value, through
// OpenSSL with a reused context.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "commitment/commitment.hpp"
#include "quorvantile_log.h"

namespace {

using Bytes = std::vector<uint8_t>;

const std::string kContext = "example.org/coniks-commitment/v1";

Bytes sequence(const Bytes& b) {
  Bytes out(4 + b.size());
  const auto n = static_cast<uint32_t>(b.size());
  for (std::size_t i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(n >> (24 - 8 * i));
  std::copy(b.begin(), b.end(), out.begin() + 4);
  return out;
}

RustBuffer buffer(const uint8_t* data, std::size_t len) {
  RustCallStatus status{};
  return ffi_quorvantile_log_rustbuffer_from_bytes(ForeignBytes{static_cast<int32_t>(len), data}, &status);
}

struct Case {
  Bytes value = Bytes(1300, 0x5a);
  Bytes opening = Bytes(32, 0x11);
  Bytes commitment_arg, value_arg, opening_arg;
  Case() {
    const auto commitment = quorvantile_log::commitment::commit_with_opening(
        kContext, value, quorvantile_log::commitment::Opening(opening.data(), opening.size()));
    commitment_arg = sequence(Bytes(commitment.begin(), commitment.end()));
    value_arg = sequence(value);
    opening_arg = sequence(opening);
  }
};

void BM_VerifyCommitmentCAbi(benchmark::State& state) {
  const Case c;
  for (auto _ : state) {
    RustCallStatus status{};
    uniffi_quorvantile_log_fn_func_verify_commitment(
        buffer(reinterpret_cast<const uint8_t*>(kContext.data()), kContext.size()),
        buffer(c.commitment_arg.data(), c.commitment_arg.size()), buffer(c.value_arg.data(), c.value_arg.size()),
        buffer(c.opening_arg.data(), c.opening_arg.size()), &status);
    if (status.code != 0) state.SkipWithError("commitment did not verify");
  }
}

void BM_ContextHashFloor(benchmark::State& state) {
  const Case c;
  EVP_MD* md = EVP_MD_fetch(nullptr, "SHA3-512", nullptr);
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  std::array<uint8_t, 8> length{};
  for (std::size_t i = 0; i < 8; ++i) length[7 - i] = static_cast<uint8_t>(kContext.size() >> (8 * i));
  std::array<uint8_t, 64> out{};
  for (auto _ : state) {
    EVP_DigestInit_ex(ctx, md, nullptr);
    EVP_DigestUpdate(ctx, length.data(), length.size());
    EVP_DigestUpdate(ctx, kContext.data(), kContext.size());
    EVP_DigestUpdate(ctx, c.opening.data(), c.opening.size());
    EVP_DigestUpdate(ctx, c.value.data(), c.value.size());
    EVP_DigestFinal_ex(ctx, out.data(), nullptr);
    benchmark::DoNotOptimize(out);
  }
  EVP_MD_CTX_free(ctx);
  EVP_MD_free(md);
}

BENCHMARK(BM_VerifyCommitmentCAbi);
BENCHMARK(BM_ContextHashFloor);

}  // namespace

BENCHMARK_MAIN();
