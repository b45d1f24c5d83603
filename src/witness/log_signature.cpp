// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "witness/log_signature.hpp"

#include "witness/cosignature.hpp"

namespace quorvantile_log::witness {
namespace {

// Whether the note has a line for the key that verifies (false: no line for the key at all), or
// the failure of a line for the key.
WitnessResult<bool> check_log_key(const Vkey& key, const note::SignedNote& note, const checkpoint::Checkpoint& checkpoint) {
  if (key.type != kMlDsa44CosignatureType) {
    const note::VerifierKey note_key = to_note_key(key);
    const auto verified = note.verify(std::span(&note_key, 1));
    if (verified) return true;
    if (verified.error().kind() == Error::Kind::InvalidSignature) {
      return std::unexpected(WitnessError::invalid_log_signature(key.name, key.key_id));
    }
    return false;
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
  return found;
}

}  // namespace

WitnessResult<void> verify_log_signature(std::span<const PolicyLog* const> logs, const note::SignedNote& note,
                                         const checkpoint::Checkpoint& checkpoint) {
  bool found = false;
  for (const PolicyLog* log : logs) {
    const auto checked = check_log_key(log->key, note, checkpoint);
    if (!checked) return std::unexpected(checked.error());
    found = found || *checked;
  }
  if (!found) return std::unexpected(WitnessError::missing_log_signature(logs.front()->key.name, logs.front()->key.key_id));
  return {};
}

}  // namespace quorvantile_log::witness
