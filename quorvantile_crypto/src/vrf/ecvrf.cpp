// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include <openssl/crypto.h>

#include <algorithm>

#include "ct/valgrind_taint.hpp"
#include "openssl_util.hpp"
#include "quorvantile_crypto/secret.hpp"
#include "quorvantile_crypto/vrf.hpp"
#include "vrf/primitives.hpp"

namespace quorvantile_crypto::vrf {
namespace {

constexpr std::size_t kGammaOffset = 0;
constexpr std::size_t kChallengeOffset = 32;
constexpr std::size_t kResponseOffset = kChallengeOffset + kChallengeSize;
static_assert(kResponseOffset + 32 == kProofSize);

using Span32 = std::span<const uint8_t, 32>;

Span32 first32(ByteView bytes, std::size_t offset) { return Span32(bytes.data() + offset, 32); }

// k = SHA-512(prefix || encode(H)) mod L, the RFC 8032 nonce, written into its holder.
void nonce(const ExpandedSecret& secret, const ed25519::Encoding& h, EVP_MD_CTX* md, Secret<ed25519::Scalar>& k) {
  Secret<std::array<uint8_t, 64>> digest;
  ossl::digest_init(md, ossl::sha512());
  ossl::digest_update(md, secret.prefix);
  ossl::digest_update(md, h);
  ossl::digest_final(md, digest.get().data());
  QV_CT_SECRET(digest.get().data(), digest.get().size());  // the nonce's digest
  k.get() = ed25519::scalar_reduce64(std::span<const uint8_t, 64>(digest.get()));
}

}  // namespace

CryptoResult<PublicKey> ecvrf_public_key(ByteView secret_key) {
  if (secret_key.size() != kSecretKeySize) {
    return std::unexpected(CryptoError::invalid_length(kSecretKeySize, secret_key.size()));
  }
  ossl::MdCtx md = ossl::new_md_ctx();
  ExpandedSecret secret;
  expand_secret(first32(secret_key, 0), secret, md.get());
  PublicKey y = ed25519::encode(ed25519::mul_base(secret.x));
  QV_CT_PUBLIC(y.data(), y.size());  // the public key, published by design
  return y;
}

CryptoResult<Proof> prove(ByteView secret_key, ByteView alpha) {
  if (secret_key.size() != kSecretKeySize) {
    return std::unexpected(CryptoError::invalid_length(kSecretKeySize, secret_key.size()));
  }
  ossl::MdCtx md = ossl::new_md_ctx();
  ExpandedSecret secret;
  expand_secret(first32(secret_key, 0), secret, md.get());
  ed25519::Encoding y = ed25519::encode(ed25519::mul_base(secret.x));
  QV_CT_PUBLIC(y.data(), y.size());  // the public key: the salt of hash-to-curve and the first challenge point

  std::optional<ed25519::Point> h = hash_to_curve_tai(y, alpha, md.get());
  if (!h) return std::unexpected(CryptoError::vrf("hash-to-curve found no candidate point within the counter budget"));
  const ed25519::Encoding h_encoding = ed25519::encode(*h);
  ed25519::Encoding gamma = ed25519::encode(ed25519::mul(secret.x, *h));
  QV_CT_PUBLIC(gamma.data(), gamma.size());  // Gamma opens the proof

  Secret<ed25519::Scalar> k;
  nonce(secret, h_encoding, md.get(), k);
  Challenge c = challenge(y, h_encoding, gamma, ed25519::encode(ed25519::mul_base(k.get())),
                          ed25519::encode(ed25519::mul(k.get(), *h)), md.get());
  QV_CT_PUBLIC(c.data(), c.size());  // c is the proof's second field
  ed25519::Scalar s = ed25519::scalar_muladd(challenge_scalar(c), secret.x, k.get());
  QV_CT_PUBLIC(s.bytes.data(), s.bytes.size());  // s = k + c*x is the proof's third field; k masks x

  Proof proof{};
  std::copy(gamma.begin(), gamma.end(), proof.begin() + kGammaOffset);
  std::copy(c.begin(), c.end(), proof.begin() + kChallengeOffset);
  std::copy(s.bytes.begin(), s.bytes.end(), proof.begin() + kResponseOffset);
  return proof;
}

CryptoResult<std::optional<Hash64>> verify(ByteView public_key, ByteView alpha, ByteView proof) {
  if (public_key.size() != kPublicKeySize) {
    return std::unexpected(CryptoError::invalid_length(kPublicKeySize, public_key.size()));
  }
  if (proof.size() != kProofSize) return std::unexpected(CryptoError::invalid_length(kProofSize, proof.size()));

  std::optional<ed25519::Point> y = ed25519::decode(first32(public_key, 0));
  if (!y || ed25519::is_small_order(*y)) return std::nullopt;
  std::optional<ed25519::Point> gamma = ed25519::decode(first32(proof, kGammaOffset));
  if (!gamma) return std::nullopt;
  Challenge c{};
  std::copy_n(proof.begin() + kChallengeOffset, kChallengeSize, c.begin());
  std::optional<ed25519::Scalar> s = ed25519::scalar_parse(first32(proof, kResponseOffset));
  if (!s) return std::nullopt;

  ossl::MdCtx md = ossl::new_md_ctx();
  std::optional<ed25519::Point> h = hash_to_curve_tai(public_key, alpha, md.get());
  if (!h) return std::nullopt;

  // Four single-scalar multiplications and two subtractions; no multi-scalar shortcut.
  const ed25519::Scalar c_scalar = challenge_scalar(c);
  const ed25519::Point u = ed25519::sub(ed25519::mul_base(*s), ed25519::mul(c_scalar, *y));
  const ed25519::Point v = ed25519::sub(ed25519::mul(*s, *h), ed25519::mul(c_scalar, *gamma));

  const Challenge recomputed = challenge(ed25519::encode(*y), ed25519::encode(*h), ed25519::encode(*gamma),
                                         ed25519::encode(u), ed25519::encode(v), md.get());
  if (CRYPTO_memcmp(recomputed.data(), c.data(), c.size()) != 0) return std::nullopt;
  return gamma_to_hash(*gamma, md.get());
}

CryptoResult<Hash64> proof_to_hash(ByteView proof) {
  if (proof.size() != kProofSize) return std::unexpected(CryptoError::invalid_length(kProofSize, proof.size()));
  std::optional<ed25519::Point> gamma = ed25519::decode(first32(proof, kGammaOffset));
  if (!gamma) return std::unexpected(CryptoError::vrf("proof Gamma is not a valid curve point"));
  ossl::MdCtx md = ossl::new_md_ctx();
  return gamma_to_hash(*gamma, md.get());
}

}  // namespace quorvantile_crypto::vrf
