// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "checkpoint/operations.hpp"

#include "checkpoint/checkpoint.hpp"
#include "merkle/merkle.hpp"
#include "note/verifier_key.hpp"

namespace quorvantile_log::checkpoint {

Result<CheckpointHead> checkpoint_parse(std::string_view body_text) {
  auto checkpoint = Checkpoint::parse(body_text);
  if (!checkpoint) return std::unexpected(checkpoint.error());
  return std::move(*checkpoint).to_head();
}

Result<CheckpointHead> checkpoint_verify(std::string_view note_text, text::TextList vkeys) {
  const auto keys = note::parse_vkeys(vkeys);
  if (!keys) return std::unexpected(keys.error());
  auto checkpoint = Checkpoint::from_signed_note(note_text, *keys);
  if (!checkpoint) return std::unexpected(checkpoint.error());
  return std::move(*checkpoint).to_head();
}

Result<void> checkpoint_verify_inclusion(std::string_view note_text, text::TextList vkeys,
                                         uint64_t leaf_index, quorvantile_crypto::ByteView leaf_hash,
                                         std::span<const quorvantile_crypto::ByteView> proof) {
  const auto keys = note::parse_vkeys(vkeys);
  if (!keys) return std::unexpected(keys.error());
  const auto checkpoint = Checkpoint::from_signed_note(note_text, *keys);
  if (!checkpoint) return std::unexpected(checkpoint.error());
  return merkle::verify_inclusion(leaf_index, checkpoint->size, leaf_hash, proof, checkpoint->root);
}

Result<void> checkpoint_verify_consistency(std::string_view older_note, std::string_view newer_note,
                                           text::TextList vkeys,
                                           std::span<const quorvantile_crypto::ByteView> proof) {
  const auto keys = note::parse_vkeys(vkeys);
  if (!keys) return std::unexpected(keys.error());
  const auto older = Checkpoint::from_signed_note(older_note, *keys);
  if (!older) return std::unexpected(older.error());
  const auto newer = Checkpoint::from_signed_note(newer_note, *keys);
  if (!newer) return std::unexpected(newer.error());
  return merkle::verify_consistency(older->size, newer->size, proof, older->root, newer->root);
}

}  // namespace quorvantile_log::checkpoint
