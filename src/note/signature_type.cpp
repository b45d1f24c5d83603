// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "note/signature_type.hpp"

#include <algorithm>
#include <cstdio>

namespace quorvantile_log::note {

Result<DetectedType> detect_signature_type(quorvantile_crypto::ByteView key_bytes) {
  if (!key_bytes.empty() && key_bytes[0] == kEd25519TypeByte) return DetectedType{SignatureType::Ed25519, 1};
  constexpr std::size_t kCompositeHeader = 1 + kCompositeLabel.size();
  if (key_bytes.size() >= kCompositeHeader && key_bytes[0] == kCompositeTypeByte &&
      std::equal(kCompositeLabel.begin(), kCompositeLabel.end(), key_bytes.begin() + 1)) {
    return DetectedType{SignatureType::Composite, kCompositeHeader};
  }
  // Key bytes are never empty here (verifier-key parsing rejects that first); an empty input
  // reports the byte as 00 rather than reading past the end.
  const unsigned leading = key_bytes.empty() ? 0u : key_bytes[0];
  char hex[3];
  std::snprintf(hex, sizeof hex, "%02x", leading);
  return std::unexpected(Error::malformed_note(std::string("unsupported signature type (leading byte 0x") + hex + ")"));
}

}  // namespace quorvantile_log::note
