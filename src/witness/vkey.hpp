// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Verifier keys as policy files carry them: name "+" 8 hex digits "+" base64(type byte || key).
// The key id must be the one recomputed from name, type byte and key.
#include <cstdint>
#include <expected>
#include <string>
#include <string_view>

#include "note/verifier_key.hpp"
#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_log::witness {

inline constexpr uint8_t kEd25519NoteType = 0x01;
inline constexpr uint8_t kEd25519CosignatureType = 0x04;
inline constexpr uint8_t kMlDsa44CosignatureType = 0x06;
inline constexpr uint8_t kCompositeType = 0xFF;

inline constexpr std::size_t kEd25519KeyLength = 32;
inline constexpr std::size_t kMlDsa44KeyLength = 1312;
// The ML-DSA-44 message carries names and origins behind a one-byte length.
inline constexpr std::size_t kMaxEncodedNameLength = 255;

struct Vkey {
  std::string name;
  uint32_t key_id = 0;
  uint8_t type = 0;
  quorvantile_crypto::Bytes key;  // the material after the type header (for 0xFF: after the label)
};

// The text form split and decoded, nothing checked beyond its syntax.
struct EncodedVkey {
  std::string_view name;
  uint32_t declared_id = 0;
  quorvantile_crypto::Bytes bytes;  // type byte and key; never empty
  uint8_t type() const { return bytes[0]; }
};

// Failures (and those of complete_vkey) are rule texts for policy messages: "malformed verifier
// key", "name is not valid UTF-8", "verifier key id mismatch: declared X, computed Y", "unsupported key type 0x..", or a
// key length rule. The caller checks the type against the line's role in between, since the key
// id of a type this component does not know cannot be recomputed.
std::expected<EncodedVkey, std::string> decode_vkey(std::string_view text);

// Recomputes the key id and checks the key for its type: 0x01 and 0x04 take 32 bytes, 0x06
// takes 1312, 0xFF the composite label and a non-empty framed key.
std::expected<Vkey, std::string> complete_vkey(const EncodedVkey& encoded);

// The key as the log library's note verifier takes it (types 0x01 and 0xFF only).
note::VerifierKey to_note_key(const Vkey& key);

}  // namespace quorvantile_log::witness
