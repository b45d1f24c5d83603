// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Framed verification per tag against the bare component verifications of the same signature
// (already decoded, message already framed): the ratio is the cost of token decoding, framing
// and dispatch on top of the cryptography itself.
#include <benchmark/benchmark.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "quorvantile_crypto/ed25519.hpp"
#include "quorvantile_crypto/mldsa.hpp"
#include "quorvantile_crypto/sign.hpp"
#include "sign/ecdsa_p521.hpp"
#include "sign/ed448.hpp"
#include "test_support.hpp"

namespace {

using namespace quorvantile_crypto;

struct Fixture {
  Bytes message;
  Bytes context;
  std::string signature_token;
  std::string public_key_token;
  Bytes signature;
  Bytes public_key;
  Bytes framed;
};

Bytes from_hex(const std::string& hex) {
  Bytes out(hex.size() / 2);
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = static_cast<uint8_t>(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
  return out;
}

// The first case of each tag file is a valid signature over a short message.
Fixture load(int tag) {
  char name[32];
  std::snprintf(name, sizeof name, "/signatures/tag_%02x.json", tag);
  const auto c = qv_test::read_json(qv_test::data_dir().string() + name).at("cases").at(0);
  Fixture f;
  f.message = from_hex(c.at("message"));
  f.context = from_hex(c.at("context"));
  f.signature_token = c.at("signature");
  f.public_key_token = c.at("public_key");
  f.signature = decode_token(f.signature_token).value();
  f.public_key = decode_token(f.public_key_token).value();
  f.framed = frame(f.context, f.message);
  if (!verify(f.message, f.context, f.signature_token, f.public_key_token).value_or(false)) std::abort();
  return f;
}

void BM_Verify(benchmark::State& state) {
  const Fixture f = load(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(verify(f.message, f.context, f.signature_token, f.public_key_token));
  }
}

// Peer: the component verifications alone.
bool components(int tag, const Fixture& f) {
  const ByteView k(f.public_key);
  const ByteView s(f.signature);
  switch (tag) {
    case 0x02:
      return ed25519::verify_cofactorless(k.subspan(1, 32), f.framed, s.subspan(1, 64)) &
             mldsa::verify(mldsa::ParameterSet::MlDsa65, k.subspan(33), f.framed, s.subspan(65));
    case 0x10:
      return mldsa::verify(mldsa::ParameterSet::MlDsa87, k.subspan(1), f.framed, s.subspan(1));
    case 0x13:
      return ed448::verify(k.subspan(1, 57), f.framed, s.subspan(1, 114)) &
             mldsa::verify(mldsa::ParameterSet::MlDsa65, k.subspan(58), f.framed, s.subspan(115));
    case 0x14:
      return ecdsa_p521::verify(k.subspan(1, 133), f.framed, s.subspan(1, 132)) &
             mldsa::verify(mldsa::ParameterSet::MlDsa87, k.subspan(134), f.framed, s.subspan(133));
    default:
      std::abort();
  }
}

void BM_Components(benchmark::State& state) {
  const int tag = static_cast<int>(state.range(0));
  const Fixture f = load(tag);
  for (auto _ : state) benchmark::DoNotOptimize(components(tag, f));
}

// The part of the overhead that grows with the input: decoding both tokens.
void BM_DecodeTokens(benchmark::State& state) {
  const Fixture f = load(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(decode_token(f.signature_token));
    benchmark::DoNotOptimize(decode_token(f.public_key_token));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(f.signature_token.size() + f.public_key_token.size()));
}

}  // namespace

BENCHMARK(BM_DecodeTokens)->Arg(0x02)->Arg(0x14)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Verify)->Arg(0x02)->Arg(0x10)->Arg(0x13)->Arg(0x14)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Components)->Arg(0x02)->Arg(0x10)->Arg(0x13)->Arg(0x14)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
