#include <openssl/crypto.h>

#include <algorithm>
#include <memory>

#include "ct/valgrind_taint.hpp"
#include "openssl_util.hpp"
#include "quorvantile_crypto/vrf_p256.hpp"
#include "quorvantile_crypto/secret.hpp"
#include "vrf_p256/nonce.hpp"
#include "vrf_p256/order_arith.hpp"
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

CryptoError no_candidate() {
  return CryptoError::vrf("hash-to-curve found no candidate point within the counter budget");
}

}  // namespace

CryptoResult<PublicKey> ecvrf_p256_public_key(ByteView secret_key) {
  const ossl::ErrorQueueMark mark;  // point and scalar arithmetic may queue OpenSSL errors
  Secret<Bytes32> x;
  if (CryptoResult<void> valid = secret_scalar(secret_key, x.get()); !valid) return std::unexpected(valid.error());
  BnCtx ctx = new_bn_ctx();
  Point y = mul_secret(nullptr, x.get(), ctx.get());
  PublicKey public_key = string_of(y.get(), ctx.get());
  QV_CT_PUBLIC(public_key.data(), public_key.size());  // the public key, published by design
  return public_key;
}

CryptoResult<Proof> prove(ByteView secret_key, ByteView alpha) {
  const ossl::ErrorQueueMark mark;
  Secret<Bytes32> x;
  if (CryptoResult<void> valid = secret_scalar(secret_key, x.get()); !valid) return std::unexpected(valid.error());
  BnCtx ctx = new_bn_ctx();
  ossl::MdCtx md = ossl::new_md_ctx();

  Point y = mul_secret(nullptr, x.get(), ctx.get());
  PointString salt = string_of(y.get(), ctx.get());
  QV_CT_PUBLIC(salt.data(), salt.size());  // the public key: the salt of hash-to-curve and the first challenge point
  std::optional<DecodedPoint> h = hash_to_curve_tai(salt, alpha, md.get(), ctx.get());
  if (!h) return std::unexpected(no_candidate());

  Point gamma = mul_secret(h->point.get(), x.get(), ctx.get());
  PointString gamma_string = string_of(gamma.get(), ctx.get());
  QV_CT_PUBLIC(gamma_string.data(), gamma_string.size());  // Gamma opens the proof
  Secret<Bytes32> k;
  rfc6979_nonce(x.get(), h->canonical, k.get());
  Point k_g = mul_secret(nullptr, k.get(), ctx.get());
  Point k_h = mul_secret(h->point.get(), k.get(), ctx.get());
  Challenge c =
      challenge(salt, h->canonical, gamma_string, string_of(k_g.get(), ctx.get()), string_of(k_h.get(), ctx.get()),
                md.get());
  QV_CT_PUBLIC(c.data(), c.size());  // c is the proof's second field

  // s = (k + c*x) mod n on fixed-width limbs; c < 2^128 < n.
  Bytes32 c_wide{};
  std::copy(c.begin(), c.end(), c_wide.end() - kChallengeSize);
  Bytes32 s{};
  mul_add_mod_n(c_wide, x.get(), k.get(), s);
  QV_CT_PUBLIC(s.data(), s.size());  // s = k + c*x is the proof's third field; k masks x

  Proof proof{};
  std::copy(gamma_string.begin(), gamma_string.end(), proof.begin() + kGammaOffset);
  std::copy(c.begin(), c.end(), proof.begin() + kChallengeOffset);
  std::copy(s.begin(), s.end(), proof.begin() + kResponseOffset);
  return proof;
}

struct KeyedVerifier::Key {
  std::size_t size = 0;
  PublicKey bytes{};
  std::optional<DecodedPoint> point;  // nothing when the key has the wrong size or does not decode
};

KeyedVerifier::KeyedVerifier(ByteView public_key) {
  auto key = std::make_unique<Key>();
  key->size = public_key.size();
  if (public_key.size() == kPublicKeySize) {
    const ossl::ErrorQueueMark mark;
    std::copy(public_key.begin(), public_key.end(), key->bytes.begin());
    BnCtx ctx = new_bn_ctx();
    key->point = string_to_point(public_key, ctx.get());
  }
  key_ = std::move(key);
}

KeyedVerifier::KeyedVerifier(KeyedVerifier&&) noexcept = default;
KeyedVerifier& KeyedVerifier::operator=(KeyedVerifier&&) noexcept = default;
KeyedVerifier::~KeyedVerifier() = default;

CryptoResult<std::optional<Hash32>> KeyedVerifier::verify(ByteView alpha, ByteView proof) const {
  if (key_->size != kPublicKeySize) return std::unexpected(CryptoError::invalid_length(kPublicKeySize, key_->size));
  if (proof.size() != kProofSize) return std::unexpected(CryptoError::invalid_length(kProofSize, proof.size()));
  const std::optional<DecodedPoint>& y = key_->point;
  if (!y) return std::nullopt;

  const ossl::ErrorQueueMark mark;
  BnCtx ctx = new_bn_ctx();
  std::optional<DecodedPoint> gamma = string_to_point(proof.subspan(kGammaOffset, kPointStringSize), ctx.get());
  if (!gamma) return std::nullopt;
  Challenge c{};
  std::copy_n(proof.begin() + kChallengeOffset, kChallengeSize, c.begin());
  const ByteView s_bytes = proof.subspan(kResponseOffset, kScalarSize);
  if (!std::lexicographical_compare(s_bytes.begin(), s_bytes.end(), curve().n_bytes.begin(), curve().n_bytes.end())) {
    return std::nullopt;
  }
  Bn s = bn_from_be(s_bytes);
  // -c mod n, so that U = s*B - c*Y and V = s*H - c*Gamma are each one multiplication.
  Bn minus_c = scalar_from_challenge(c);
  if (!BN_is_zero(minus_c.get())) check(BN_sub(minus_c.get(), curve().n, minus_c.get()), "BN_sub");

  ossl::MdCtx md = ossl::new_md_ctx();
  std::optional<DecodedPoint> h = hash_to_curve_tai(key_->bytes, alpha, md.get(), ctx.get());
  if (!h) return std::nullopt;

  Point u = mul_base_plus(s.get(), y->point.get(), minus_c.get(), ctx.get());
  Point v = mul_two(h->point.get(), s.get(), gamma->point.get(), minus_c.get(), ctx.get());
  // U or V at the identity only comes from a crafted proof; it has no string and cannot verify.
  std::optional<PointString> u_string = point_to_string(u.get(), ctx.get());
  std::optional<PointString> v_string = point_to_string(v.get(), ctx.get());
  if (!u_string || !v_string) return std::nullopt;

  const Challenge recomputed = challenge(y->canonical, h->canonical, gamma->canonical, *u_string, *v_string, md.get());
  if (CRYPTO_memcmp(recomputed.data(), c.data(), c.size()) != 0) return std::nullopt;
  return gamma_to_hash(gamma->canonical, md.get());
}

CryptoResult<std::optional<Hash32>> verify(ByteView public_key, ByteView alpha, ByteView proof) {
  return KeyedVerifier(public_key).verify(alpha, proof);
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
