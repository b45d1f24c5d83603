// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "vrf_p256/suite_hash.hpp"

#include <algorithm>

namespace quorvantile_crypto::vrf_p256 {
namespace {

constexpr uint8_t kEncodeToCurve = 0x01;
constexpr uint8_t kChallenge = 0x02;
constexpr uint8_t kProofToHash = 0x03;
constexpr uint8_t kBack = 0x00;
constexpr int kCounterBudget = 256;

}  // namespace

std::optional<DecodedPoint> hash_to_curve_tai(ByteView salt, ByteView alpha, EVP_MD_CTX* md, BN_CTX* ctx) {
  // The prefix (suite, front byte, salt, alpha) is hashed once; each attempt continues a copy.
  const uint8_t front[2] = {kSuite, kEncodeToCurve};
  ossl::digest_init(md, ossl::sha256());
  ossl::digest_update(md, front);
  ossl::digest_update(md, salt);
  ossl::digest_update(md, alpha);
  ossl::MdCtx attempt = ossl::new_md_ctx();

  PointString candidate{};
  candidate[0] = 0x02;
  for (int ctr = 0; ctr < kCounterBudget; ++ctr) {
    const uint8_t tail[2] = {static_cast<uint8_t>(ctr), kBack};
    if (EVP_MD_CTX_copy_ex(attempt.get(), md) != 1) fail("EVP_MD_CTX_copy_ex");
    ossl::digest_update(attempt.get(), tail);
    ossl::digest_final(attempt.get(), candidate.data() + 1);
    std::optional<DecodedPoint> point = string_to_point(candidate, ctx);
    if (point) return point;
  }
  return std::nullopt;
}

Challenge challenge(const PointString& y, const PointString& h, const PointString& gamma, const PointString& u,
                    const PointString& v, EVP_MD_CTX* md) {
  const uint8_t front[2] = {kSuite, kChallenge};
  const uint8_t back[1] = {kBack};
  Hash32 digest{};
  ossl::digest_init(md, ossl::sha256());
  ossl::digest_update(md, front);
  for (const PointString* point : {&y, &h, &gamma, &u, &v}) ossl::digest_update(md, *point);
  ossl::digest_update(md, back);
  ossl::digest_final(md, digest.data());
  Challenge c{};
  std::copy_n(digest.begin(), c.size(), c.begin());
  return c;
}

Hash32 gamma_to_hash(const PointString& gamma, EVP_MD_CTX* md) {
  const uint8_t front[2] = {kSuite, kProofToHash};
  const uint8_t back[1] = {kBack};
  Hash32 beta{};
  ossl::digest_init(md, ossl::sha256());
  ossl::digest_update(md, front);
  ossl::digest_update(md, gamma);
  ossl::digest_update(md, back);
  ossl::digest_final(md, beta.data());
  return beta;
}

}  // namespace quorvantile_crypto::vrf_p256
