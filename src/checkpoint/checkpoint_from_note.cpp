// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "checkpoint/checkpoint.hpp"
#include "note/signed_note.hpp"

namespace quorvantile_log::checkpoint {

Result<Checkpoint> Checkpoint::from_signed_note(std::string_view note_text, std::span<const note::VerifierKey> keys) {
  const auto note = note::SignedNote::parse(note_text);
  if (!note) return std::unexpected(note.error());
  const auto verified = note->verify(keys);
  if (!verified) return std::unexpected(verified.error());
  return parse(note->text());
}

}  // namespace quorvantile_log::checkpoint
