// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Ed25519 signature verification in the cofactorless and the strict form.
#include <algorithm>

#include "ed25519/group.hpp"
#include "openssl_util.hpp"
#include "quorvantile_crypto/ed25519.hpp"

namespace quorvantile_crypto::ed25519 {
namespace {

enum class Form { Cofactorless, Strict };

bool verify_signature(ByteView public_key, std::span<const ByteView> message, ByteView signature, Form form,
                      Backend backend) {
  if (public_key.size() != 32 || signature.size() != 64) return false;
  const std::span<const uint8_t, 32> key_bytes = public_key.first<32>();
  const std::span<const uint8_t, 32> r_bytes = signature.first<32>();
  const std::span<const uint8_t, 32> s_bytes = signature.last<32>();

  const std::optional<Point> a = decode(key_bytes);
  if (!a) return false;
  if (form == Form::Strict && is_small_order(*a)) return false;
  const std::optional<Scalar> s = scalar_parse(s_bytes);
  if (!s) return false;

  // k = SHA-512(R || A || M) over the bytes as given (the key is not re-encoded).
  std::array<uint8_t, 64> digest;
  const ossl::MdCtx ctx = ossl::new_md_ctx();
  ossl::digest_init(ctx.get(), ossl::sha512());
  ossl::digest_update(ctx.get(), r_bytes);
  ossl::digest_update(ctx.get(), key_bytes);
  for (const ByteView part : message) ossl::digest_update(ctx.get(), part);
  ossl::digest_final(ctx.get(), digest.data());
  const Scalar k = scalar_reduce64(digest);

  // R' = S B - k A. Its canonical encoding must be the signature's R byte for byte, so an R that
  // does not decode, or decodes only from a non-canonical encoding, never matches.
  const Point r = double_mul_base_vartime(k, negate(*a), *s, backend);
  const Encoding r_encoded = encode(r);
  if (!std::equal(r_encoded.begin(), r_encoded.end(), r_bytes.begin())) return false;
  // R equals R' here, so R is of small order exactly when R' is.
  if (form == Form::Strict && is_small_order(r)) return false;
  return true;
}

}  // namespace

bool verify_cofactorless(ByteView public_key, ByteView message, ByteView signature, Backend backend) {
  return verify_signature(public_key, std::span(&message, 1), signature, Form::Cofactorless, backend);
}

bool verify_strict(ByteView public_key, ByteView message, ByteView signature, Backend backend) {
  return verify_signature(public_key, std::span(&message, 1), signature, Form::Strict, backend);
}

bool verify_strict_parts(ByteView public_key, std::span<const ByteView> parts, ByteView signature) {
  return verify_signature(public_key, parts, signature, Form::Strict, default_backend());
}

}  // namespace quorvantile_crypto::ed25519
