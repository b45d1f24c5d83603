// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Framed verification and the token posture functions on arbitrary input. The input is read
// as a small structure so that most runs reach the tag, length and component checks: a control
// byte, the context and message, and the raw signature and key bytes, which are usually given a
// known tag and a length at or near that tag's total before being base64-encoded.
#include <openssl/evp.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "quorvantile_crypto/sign.hpp"

namespace {

using namespace quorvantile_crypto;

struct Reader {
  const uint8_t* data;
  std::size_t size;

  uint8_t byte() {
    if (size == 0) return 0;
    const uint8_t b = *data++;
    --size;
    return b;
  }
  std::vector<uint8_t> take(std::size_t n) {
    n = n < size ? n : size;
    std::vector<uint8_t> out(data, data + n);
    data += n;
    size -= n;
    return out;
  }
};

struct Shape {
  uint8_t tag;
  std::size_t key_total;
  std::size_t sig_total;
};

constexpr std::array<Shape, 6> kShapes{{
    {0x01, 1345, 2485}, {0x02, 1985, 3374}, {0x03, 2625, 4692},
    {0x10, 2593, 4628}, {0x13, 2010, 3424}, {0x14, 2726, 4760},
}};

// Gives the raw bytes a known tag and a length of total - 1, total or total + 1, padding with a
// repeated copy of the fuzzer's bytes so that component parsers see varied data.
std::vector<uint8_t> shape(std::vector<uint8_t> raw, uint8_t control, bool is_key) {
  const Shape& s = kShapes[(control >> 2) % kShapes.size()];
  const std::size_t total = (is_key ? s.key_total : s.sig_total) + (control & 3) - 1;
  std::vector<uint8_t> out(total);
  for (std::size_t i = 0; i < total; ++i) out[i] = raw.empty() ? static_cast<uint8_t>(i) : raw[i % raw.size()];
  out[0] = s.tag;
  return out;
}

std::string encode(const std::vector<uint8_t>& bytes) {
  std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
  const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()), bytes.data(), static_cast<int>(bytes.size()));
  out.resize(static_cast<std::size_t>(n));
  return out;
}

std::string token(Reader& in, uint8_t mode, uint8_t control, bool is_key) {
  std::vector<uint8_t> raw = in.take(in.byte() * 16u + in.byte());
  switch (mode % 4) {
    case 0:  // the bytes as a token, unchanged (any text, valid base64 or not)
      return std::string(raw.begin(), raw.end());
    case 1:  // the bytes, base64-encoded
      return encode(raw);
    default:  // a known tag at or near its total length
      return encode(shape(std::move(raw), control, is_key));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  Reader in{data, size};
  const uint8_t modes = in.byte();
  const uint8_t control = in.byte();
  const std::vector<uint8_t> context = in.take(in.byte());
  const std::vector<uint8_t> message = in.take(in.byte());
  // Sharing the control byte makes the signature and key tags agree in most shaped runs.
  const std::string signature = token(in, modes, control, false);
  const std::string public_key = token(in, static_cast<uint8_t>(modes >> 2), (modes & 0x80) ? in.byte() : control, true);

  const auto verified = verify(message, context, signature, public_key);
  const auto sig_posture = signature_posture(signature);
  const auto key_posture = public_key_posture(public_key);
  if (!verified && verified.error().kind() != CryptoError::Kind::Base64 &&
      verified.error().kind() != CryptoError::Kind::Signature) {
    __builtin_trap();
  }
  // A verified pair has a known tag and exact lengths on both sides, and the same posture.
  if (verified && *verified && (!sig_posture || !key_posture || *sig_posture != *key_posture)) __builtin_trap();

  const auto decoded = decode_token(signature);
  if (decoded) {
    // Canonical decoding: the only token for these bytes is their standard encoding.
    if (encode(*decoded) != signature) __builtin_trap();
    (void)level_from_tag(*decoded);
    if (!decoded->empty()) (void)posture_from_tag(decoded->front());
  } else if (verified || sig_posture) {
    __builtin_trap();  // an undecodable signature token fails both
  }
  return 0;
}
