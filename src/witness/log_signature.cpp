// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "witness/log_signature.hpp"

#include "witness/cosignature.hpp"

namespace quorvantile_log::witness {

WitnessResult<void> verify_log_signature(const PolicyLog& log, const note::SignedNote& note,
                                         const checkpoint::Checkpoint& checkpoint) {
  const Vkey& key = log.key;
  if (key.type != kMlDsa44CosignatureType) {
    const note::VerifierKey note_key = to_note_key(key);
    const auto verified = note.verify(std::span(&note_key, 1));
    if (verified) return {};
    if (verified.error().kind() == Error::Kind::InvalidSignature) {
      return std::unexpected(WitnessError::invalid_log_signature(key.name, key.key_id));
    }
    return std::unexpected(WitnessError::missing_log_signature(key.name, key.key_id));
  }

  bool found = false;
  for (const note::Signature& line : note.signatures()) {
    if (line.key_id != key.key_id || line.name != key.name) continue;
    const auto checked = check_cosignature(key, checkpoint, note.text(), line.signature);
    if (!checked) {
      if (checked.error() == kReasonExtensions) {
        return std::unexpected(WitnessError::uncovered_extensions(key.name, key.key_id));
      }
      return std::unexpected(WitnessError::invalid_log_signature(key.name, key.key_id));
    }
    found = true;
  }
  if (!found) return std::unexpected(WitnessError::missing_log_signature(key.name, key.key_id));
  return {};
}

}  // namespace quorvantile_log::witness
