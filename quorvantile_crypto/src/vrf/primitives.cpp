// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "vrf/primitives.hpp"

#include <algorithm>
#include <stdexcept>

#include "ct/valgrind_taint.hpp"
#include "openssl_util.hpp"

namespace quorvantile_crypto::vrf {
namespace {

constexpr uint8_t kSuite = 0x03;
constexpr uint8_t kEncodeToCurve = 0x01;
constexpr uint8_t kChallenge = 0x02;
constexpr uint8_t kProofToHash = 0x03;
constexpr uint8_t kBack = 0x00;
constexpr int kCounterBudget = 256;

}  // namespace

ExpandedSecret::~ExpandedSecret() {
  secure_wipe(x.bytes.data(), x.bytes.size());
  secure_wipe(prefix.data(), prefix.size());
}

void expand_secret(std::span<const uint8_t, 32> seed, ExpandedSecret& out, EVP_MD_CTX* md) {
  std::array<uint8_t, 64> h{};
  ossl::digest_init(md, ossl::sha512());
  ossl::digest_update(md, seed);
  ossl::digest_final(md, h.data());
  QV_CT_SECRET(h.data(), h.size());  // the expanded secret: x and the nonce prefix come from it
  h[0] &= 0xF8;
  h[31] = static_cast<uint8_t>((h[31] & 0x3F) | 0x40);
  // Reducing modulo L leaves x*B and x*H unchanged: both points have order L.
  out.x = ed25519::scalar_reduce32(std::span<const uint8_t, 32>(h.data(), 32));
  std::copy(h.begin() + 32, h.end(), out.prefix.begin());
  secure_wipe(h.data(), h.size());
}

std::optional<ed25519::Point> hash_to_curve_tai(ByteView salt, ByteView alpha, EVP_MD_CTX* md) {
  // The prefix (suite, front byte, salt, alpha) is hashed once; each attempt continues a copy.
  const uint8_t front[2] = {kSuite, kEncodeToCurve};
  ossl::digest_init(md, ossl::sha512());
  ossl::digest_update(md, front);
  ossl::digest_update(md, salt);
  ossl::digest_update(md, alpha);
  ossl::MdCtx attempt = ossl::new_md_ctx();

  Hash64 digest{};
  for (int ctr = 0; ctr < kCounterBudget; ++ctr) {
    const uint8_t tail[2] = {static_cast<uint8_t>(ctr), kBack};
    if (EVP_MD_CTX_copy_ex(attempt.get(), md) != 1) throw std::runtime_error("EVP_MD_CTX_copy_ex failed");
    ossl::digest_update(attempt.get(), tail);
    ossl::digest_final(attempt.get(), digest.data());
    std::optional<ed25519::Point> p = ed25519::decode(std::span<const uint8_t, 32>(digest.data(), 32));
    if (p && !ed25519::is_small_order(*p)) return ed25519::mul_by_cofactor(*p);
  }
  return std::nullopt;
}

Challenge challenge(const ed25519::Encoding& y, const ed25519::Encoding& h, const ed25519::Encoding& gamma,
                    const ed25519::Encoding& u, const ed25519::Encoding& v, EVP_MD_CTX* md) {
  const uint8_t front[2] = {kSuite, kChallenge};
  const uint8_t back[1] = {kBack};
  Hash64 digest{};
  ossl::digest_init(md, ossl::sha512());
  ossl::digest_update(md, front);
  for (const ed25519::Encoding* point : {&y, &h, &gamma, &u, &v}) ossl::digest_update(md, *point);
  ossl::digest_update(md, back);
  ossl::digest_final(md, digest.data());
  Challenge c{};
  std::copy_n(digest.begin(), c.size(), c.begin());
  return c;
}

ed25519::Scalar challenge_scalar(const Challenge& c) {
  ed25519::Scalar scalar{};
  std::copy(c.begin(), c.end(), scalar.bytes.begin());
  return scalar;
}

Hash64 gamma_to_hash(const ed25519::Point& gamma, EVP_MD_CTX* md) {
  const uint8_t front[2] = {kSuite, kProofToHash};
  const uint8_t back[1] = {kBack};
  const ed25519::Encoding cleared = ed25519::encode(ed25519::mul_by_cofactor(gamma));
  Hash64 beta{};
  ossl::digest_init(md, ossl::sha512());
  ossl::digest_update(md, front);
  ossl::digest_update(md, cleared);
  ossl::digest_update(md, back);
  ossl::digest_final(md, beta.data());
  return beta;
}

}  // namespace quorvantile_crypto::vrf
