// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Verification of a signed note's lines against trusted verifier keys.
#include <algorithm>

#include "note/signed_note.hpp"
#include "quorvantile_crypto/ed25519.hpp"
#include "quorvantile_crypto/sign.hpp"

namespace quorvantile_log::note {
namespace {

constexpr std::size_t kEd25519KeyLength = 32;
constexpr std::size_t kEd25519SignatureLength = 64;

const VerifierKey* find_key(std::span<const VerifierKey> keys, const Signature& line) {
  const auto it = std::find_if(keys.begin(), keys.end(), [&](const VerifierKey& key) {
    return key.key_id == line.key_id && key.name == line.name;
  });
  return it == keys.end() ? nullptr : &*it;
}

bool signature_holds(const VerifierKey& key, const Signature& line, std::string_view text) {
  const quorvantile_crypto::ByteView message = quorvantile_crypto::as_bytes(text);
  switch (key.kind) {
    case SignatureType::Ed25519:
      return key.key.size() == kEd25519KeyLength && line.signature.size() == kEd25519SignatureLength &&
             quorvantile_crypto::ed25519::verify_strict(key.key, message, line.signature);
    case SignatureType::Composite: {
      // An unknown tag is as much a failure of this line as a signature that does not hold.
      const auto verified = quorvantile_crypto::verify_decoded(message, quorvantile_crypto::as_bytes(kSignedNoteLabel),
                                                               line.signature, key.key);
      return verified.has_value() && *verified;
    }
  }
  return false;
}

// Whether an earlier line that held had this key and these signature bytes: verification is a
// function of key, text and signature alone, so a repeated line holds as its first copy did
// (a note of 100 copies of one hybrid line costs one verification, not 100).
bool repeats_verified(std::span<const std::reference_wrapper<const Signature>> verified, const VerifierKey* key,
                      std::span<const VerifierKey> keys, const Signature& line) {
  return std::any_of(verified.begin(), verified.end(), [&](const Signature& earlier) {
    return find_key(keys, earlier) == key && earlier.signature == line.signature;
  });
}

}  // namespace

Result<std::vector<std::reference_wrapper<const Signature>>> SignedNote::verify(
    std::span<const VerifierKey> keys) const {
  std::vector<std::reference_wrapper<const Signature>> verified;
  for (const Signature& line : signatures_) {
    const VerifierKey* key = find_key(keys, line);
    if (key == nullptr) continue;
    if (!repeats_verified(verified, key, keys, line) && !signature_holds(*key, line, text_)) return std::unexpected(Error::invalid_signature(line.name, line.key_id));
    verified.emplace_back(line);
  }
  if (verified.empty()) return std::unexpected(Error::no_trusted_signature());
  return verified;
}

}  // namespace quorvantile_log::note
