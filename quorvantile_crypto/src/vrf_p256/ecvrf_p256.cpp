#include <openssl/crypto.h>

#include <algorithm>

#include "openssl_util.hpp"
#include "quorvantile_crypto/vrf_p256.hpp"
#include "vrf_p256/nonce.hpp"
#include "vrf_p256/point_string.hpp"
#include "vrf_p256/scalar.hpp"
#include "vrf_p256/suite_hash.hpp"

namespace quorvantile_crypto::vrf_p256 {
namespace {

constexpr std::size_t kGammaOffset = 0;
constexpr std::size_t kChallengeOffset = kPointStringSize;
constexpr std::size_t kResponseOffset = kChallengeOffset + kChallengeSize;
static_assert(kResponseOffset + kScalarSize == kProofSize);

// The point string of a point that cannot be the identity (x*G, x*H, k*G, k*H for x, k in
// [1, n-1] and H of order n).
PointString string_of(const EC_POINT* point, BN_CTX* ctx) {
  std::optional<PointString> string = point_to_string(point, ctx);
  if (!string) fail("unexpected identity point");
  return *string;
}

// s = (k + c*x) mod n, through the order's Montgomery context so that the secret operands see
// only fixed-length arithmetic.
Bn response(const BIGNUM* k, const BIGNUM* c, const BIGNUM* x, BN_CTX* ctx) {
  const BN_MONT_CTX* mont = EC_GROUP_get_mont_data(curve().group);
  if (mont == nullptr) fail("P-256 order Montgomery context unavailable");
  Bn c_mont = new_secret_bn();
  Bn product = new_secret_bn();
  Bn s = new_secret_bn();
  check(BN_to_montgomery(c_mont.get(), c, const_cast<BN_MONT_CTX*>(mont), ctx), "BN_to_montgomery");
  check(BN_mod_mul_montgomery(product.get(), c_mont.get(), x, const_cast<BN_MONT_CTX*>(mont), ctx),
        "BN_mod_mul_montgomery");
  check(BN_mod_add_quick(s.get(), k, product.get(), curve().n), "BN_mod_add_quick");
  return s;
}

CryptoError no_candidate() {
  return CryptoError::vrf("hash-to-curve found no candidate point within the counter budget");
}

}  // namespace

CryptoResult<PublicKey> ecvrf_p256_public_key(ByteView secret_key) {
  const ossl::ErrorQueueMark mark;  // point and scalar arithmetic may queue OpenSSL errors
  CryptoResult<Bn> x = secret_scalar(secret_key);
  if (!x) return std::unexpected(x.error());
  BnCtx ctx = new_bn_ctx();
  Point y = mul_base(x->get(), ctx.get());
  return string_of(y.get(), ctx.get());
}

CryptoResult<Proof> prove(ByteView secret_key, ByteView alpha) {
  const ossl::ErrorQueueMark mark;
  CryptoResult<Bn> x = secret_scalar(secret_key);
  if (!x) return std::unexpected(x.error());
  BnCtx ctx = new_bn_ctx();
  ossl::MdCtx md = ossl::new_md_ctx();

  Point y = mul_base(x->get(), ctx.get());
  const PointString salt = string_of(y.get(), ctx.get());
  std::optional<DecodedPoint> h = hash_to_curve_tai(salt, alpha, md.get(), ctx.get());
  if (!h) return std::unexpected(no_candidate());

  Point gamma = mul(h->point.get(), x->get(), ctx.get());
  const PointString gamma_string = string_of(gamma.get(), ctx.get());
  Bn k = rfc6979_nonce(x->get(), h->canonical);
  Point k_g = mul_base(k.get(), ctx.get());
  Point k_h = mul(h->point.get(), k.get(), ctx.get());
  const Challenge c =
      challenge(salt, h->canonical, gamma_string, string_of(k_g.get(), ctx.get()), string_of(k_h.get(), ctx.get()),
                md.get());
  Bn s = response(k.get(), scalar_from_challenge(c).get(), x->get(), ctx.get());

  Proof proof{};
  std::copy(gamma_string.begin(), gamma_string.end(), proof.begin() + kGammaOffset);
  std::copy(c.begin(), c.end(), proof.begin() + kChallengeOffset);
  bn_to_be(s.get(), proof.data() + kResponseOffset, kScalarSize);
  return proof;
}

CryptoResult<std::optional<Hash32>> verify(ByteView public_key, ByteView alpha, ByteView proof) {
  const ossl::ErrorQueueMark mark;
  if (public_key.size() != kPublicKeySize) {
    return std::unexpected(CryptoError::invalid_length(kPublicKeySize, public_key.size()));
  }
  if (proof.size() != kProofSize) return std::unexpected(CryptoError::invalid_length(kProofSize, proof.size()));

  BnCtx ctx = new_bn_ctx();
  std::optional<DecodedPoint> y = string_to_point(public_key, ctx.get());
  if (!y) return std::nullopt;
  std::optional<DecodedPoint> gamma = string_to_point(proof.subspan(kGammaOffset, kPointStringSize), ctx.get());
  if (!gamma) return std::nullopt;
  Challenge c{};
  std::copy_n(proof.begin() + kChallengeOffset, kChallengeSize, c.begin());
  Bn c_scalar = scalar_from_challenge(c);
  const ByteView s_bytes = proof.subspan(kResponseOffset, kScalarSize);
  if (!std::lexicographical_compare(s_bytes.begin(), s_bytes.end(), curve().n_bytes.begin(), curve().n_bytes.end())) {
    return std::nullopt;
  }
  Bn s = bn_from_be(s_bytes);

  ossl::MdCtx md = ossl::new_md_ctx();
  std::optional<DecodedPoint> h = hash_to_curve_tai(public_key, alpha, md.get(), ctx.get());
  if (!h) return std::nullopt;

  Point u = sub(mul_base(s.get(), ctx.get()).get(), mul(y->point.get(), c_scalar.get(), ctx.get()).get(), ctx.get());
  Point v = sub(mul(h->point.get(), s.get(), ctx.get()).get(), mul(gamma->point.get(), c_scalar.get(), ctx.get()).get(),
                ctx.get());
  // U or V at the identity only comes from a crafted proof; it has no string and cannot verify.
  std::optional<PointString> u_string = point_to_string(u.get(), ctx.get());
  std::optional<PointString> v_string = point_to_string(v.get(), ctx.get());
  if (!u_string || !v_string) return std::nullopt;

  const Challenge recomputed = challenge(y->canonical, h->canonical, gamma->canonical, *u_string, *v_string, md.get());
  if (CRYPTO_memcmp(recomputed.data(), c.data(), c.size()) != 0) return std::nullopt;
  return gamma_to_hash(gamma->canonical, md.get());
}

CryptoResult<Hash32> proof_to_hash(ByteView proof) {
  const ossl::ErrorQueueMark mark;
  if (proof.size() != kProofSize) return std::unexpected(CryptoError::invalid_length(kProofSize, proof.size()));
  BnCtx ctx = new_bn_ctx();
  std::optional<DecodedPoint> gamma = string_to_point(proof.subspan(kGammaOffset, kPointStringSize), ctx.get());
  if (!gamma) return std::unexpected(CryptoError::vrf("proof Gamma is not a valid curve point"));
  ossl::MdCtx md = ossl::new_md_ctx();
  return gamma_to_hash(gamma->canonical, md.get());
}

}  // namespace quorvantile_crypto::vrf_p256
