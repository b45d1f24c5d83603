// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The key types a verifier key can carry, told apart by the type header that opens the decoded
// key bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "error/error.hpp"
#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_log::note {

// The context of every composite signature on a note.
inline constexpr std::string_view kSignedNoteLabel = "quorvantile.dev/signed-note/v1";
// Follows the 0xFF header byte of a composite key.
inline constexpr std::string_view kCompositeLabel = "quorvantile.dev/composite-mldsa-ed25519/v1";
static_assert(kSignedNoteLabel.size() == 30 && kCompositeLabel.size() == 42);

inline constexpr uint8_t kEd25519TypeByte = 0x01;
inline constexpr uint8_t kCompositeTypeByte = 0xFF;

enum class SignatureType : uint8_t {
  Ed25519,    // header 0x01; 32 bytes of key material
  Composite,  // header 0xFF and the composite label; a framed public key
};

struct DetectedType {
  SignatureType type;
  std::size_t header_length;  // 1 or 43
};

// Reads the type header of decoded key bytes; unknown headers fail with "unsupported signature
// type (leading byte 0x..)".
Result<DetectedType> detect_signature_type(quorvantile_crypto::ByteView key_bytes);

}  // namespace quorvantile_log::note
