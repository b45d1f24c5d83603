// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The work of the checkpoint exports.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "error/error.hpp"
#include "text/text_list.hpp"
#include "quorvantile_crypto/bytes.hpp"
#include "types/records.hpp"

namespace quorvantile_log::checkpoint {

// A body on its own, no signatures involved.
Result<CheckpointHead> checkpoint_parse(std::string_view body_text);

// The keys are parsed first; then the note is verified and its text parsed as a body.
Result<CheckpointHead> checkpoint_verify(std::string_view note_text, text::TextList vkeys);

// Verifies the checkpoint, then the RFC 6962 inclusion proof against its size and root.
Result<void> checkpoint_verify_inclusion(std::string_view note_text, text::TextList vkeys,
                                         uint64_t leaf_index, quorvantile_crypto::ByteView leaf_hash,
                                         std::span<const quorvantile_crypto::ByteView> proof);

// Verifies the older then the newer checkpoint against the same keys, then the consistency proof
// between them. Origins are not compared; size ordering is the proof verifier's to enforce.
Result<void> checkpoint_verify_consistency(std::string_view older_note, std::string_view newer_note,
                                           text::TextList vkeys,
                                           std::span<const quorvantile_crypto::ByteView> proof);

}  // namespace quorvantile_log::checkpoint
