// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Context-bound SHA3-512 and SHA-256 against OpenSSL's one-shot EVP_Digest over the same bytes
// with a pre-fetched EVP_MD: the ratio is the cost of the framing and the library's wrapper.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <array>
#include <vector>

#include "quorvantile_crypto/hash.hpp"

namespace {

using namespace quorvantile_crypto;

const ByteView kLabel = as_bytes("tarnfel/key-history/v1");

std::vector<uint8_t> message_128() {
  std::vector<uint8_t> m(128);
  for (std::size_t i = 0; i < m.size(); ++i) m[i] = static_cast<uint8_t>(i * 7 + 3);
  return m;
}

std::vector<uint8_t> framed(ByteView context, ByteView message) {
  std::vector<uint8_t> out;
  for (int shift = 56; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(static_cast<uint64_t>(context.size()) >> shift));
  out.insert(out.end(), context.begin(), context.end());
  out.insert(out.end(), message.begin(), message.end());
  return out;
}

void BM_Sha3_512WithContext(benchmark::State& state) {
  const auto message = message_128();
  const ByteView context = state.range(0) != 0 ? kLabel : ByteView{};
  for (auto _ : state) benchmark::DoNotOptimize(sha3_512_with_context(context, message));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(8 + context.size() + message.size()));
}

// Peer: OpenSSL one-shot SHA3-512 of the already framed bytes.
void BM_OpenSslSha3_512OneShot(benchmark::State& state) {
  EVP_MD* md = EVP_MD_fetch(nullptr, "SHA3-512", nullptr);
  const auto message = message_128();
  const auto bytes = framed(state.range(0) != 0 ? kLabel : ByteView{}, message);
  std::array<uint8_t, 64> out{};
  for (auto _ : state) {
    EVP_Digest(bytes.data(), bytes.size(), out.data(), nullptr, md, nullptr);
    benchmark::DoNotOptimize(out);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
  EVP_MD_free(md);
}

void BM_Sha256(benchmark::State& state) {
  const std::vector<uint8_t> data(static_cast<std::size_t>(state.range(0)), 0x5a);
  for (auto _ : state) benchmark::DoNotOptimize(sha256(data));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void BM_OpenSslSha256OneShot(benchmark::State& state) {
  EVP_MD* md = EVP_MD_fetch(nullptr, "SHA256", nullptr);
  const std::vector<uint8_t> data(static_cast<std::size_t>(state.range(0)), 0x5a);
  std::array<uint8_t, 32> out{};
  for (auto _ : state) {
    EVP_Digest(data.data(), data.size(), out.data(), nullptr, md, nullptr);
    benchmark::DoNotOptimize(out);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
  EVP_MD_free(md);
}

}  // namespace

// Argument: 0 = empty context, 1 = a 22-byte label.
BENCHMARK(BM_Sha3_512WithContext)->Arg(0)->Arg(1);
BENCHMARK(BM_OpenSslSha3_512OneShot)->Arg(0)->Arg(1);
BENCHMARK(BM_Sha256)->Arg(32)->Arg(1024);
BENCHMARK(BM_OpenSslSha256OneShot)->Arg(32)->Arg(1024);
BENCHMARK_MAIN();
