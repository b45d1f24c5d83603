// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Framed signature verification: match the version tags of signature and key, check the exact
// lengths, and require every component signature to hold over the one framed message. The token
// form decodes both tokens and verifies their bytes.
#include "quorvantile_crypto/ed25519.hpp"
#include "quorvantile_crypto/mldsa.hpp"
#include "quorvantile_crypto/sign.hpp"
#include "sign/ecdsa_p521.hpp"
#include "sign/ed448.hpp"
#include "suite/tags.hpp"

namespace quorvantile_crypto {
namespace {

// Callers compute both components before combining them: a failed first component never
// skips the second.
bool both(bool first, bool second) { return first && second; }

mldsa::ParameterSet level_parameter_set(SignatureLevel level) {
  switch (level) {
    case SignatureLevel::Cat2:
      return mldsa::ParameterSet::MlDsa44;
    case SignatureLevel::Cat3:
      return mldsa::ParameterSet::MlDsa65;
    case SignatureLevel::Cat5:
      return mldsa::ParameterSet::MlDsa87;
  }
  return mldsa::ParameterSet::MlDsa87;
}

// Signature and key have exactly the tag's totals; the tag byte is index 0, the classical
// component (if any) follows it, the ML-DSA component comes last.
bool verify_components(const tags::TagInfo& info, ByteView m, ByteView sig, ByteView key) {
  const ByteView classical_key = key.subspan(sizes::kTagSize, info.classical.public_key);
  const ByteView classical_sig = sig.subspan(sizes::kTagSize, info.classical.signature);
  const ByteView lattice_key = key.subspan(sizes::kTagSize + info.classical.public_key, info.lattice.public_key);
  const ByteView lattice_sig = sig.subspan(sizes::kTagSize + info.classical.signature, info.lattice.signature);
  const bool lattice = mldsa::verify(level_parameter_set(info.level), lattice_key, m, lattice_sig);
  switch (info.tag) {
    case tags::kPureMlDsa87:
      return lattice;
    case tags::kEd448MlDsa65:
      return both(ed448::verify(classical_key, m, classical_sig), lattice);
    case tags::kP521MlDsa87:
      return both(ecdsa_p521::verify(classical_key, m, classical_sig), lattice);
    default:
      return both(ed25519::verify_cofactorless(classical_key, m, classical_sig), lattice);
  }
}

}  // namespace

CryptoResult<bool> verify_decoded(ByteView message, ByteView context, ByteView signature, ByteView public_key) {
  if (!signature.empty() && tags::is_suite_tag(signature.front())) {
    const uint8_t tag = signature.front();
    // An empty key has no tag, which differs from every tag.
    if (public_key.empty() || public_key.front() != tag) return false;
    const tags::TagInfo info = *tags::lookup(tag);
    if (signature.size() != info.signature_total || public_key.size() != info.public_key_total) return false;
    return verify_components(info, frame(context, message), signature, public_key);
  }
  if (!public_key.empty() && tags::is_suite_tag(public_key.front())) return false;

  const CryptoResult<SignatureLevel> sig_level = level_from_tag(signature);
  if (!sig_level) return std::unexpected(sig_level.error());
  const CryptoResult<SignatureLevel> key_level = level_from_tag(public_key);
  if (!key_level) return std::unexpected(key_level.error());

  const tags::TagInfo info = tags::level_info(*sig_level);
  if (*sig_level != *key_level || signature.size() != info.signature_total ||
      public_key.size() != info.public_key_total) {
    return false;
  }
  return verify_components(info, frame(context, message), signature, public_key);
}

CryptoResult<bool> verify(ByteView message, ByteView context, std::string_view signature_token,
                          std::string_view public_key_token) {
  const CryptoResult<Bytes> sig = decode_token(signature_token);
  if (!sig) return std::unexpected(sig.error());
  const CryptoResult<Bytes> key = decode_token(public_key_token);
  if (!key) return std::unexpected(key.error());
  return verify_decoded(message, context, *sig, *key);
}

}  // namespace quorvantile_crypto
