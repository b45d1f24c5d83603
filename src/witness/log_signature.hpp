// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The log's own signature on a checkpoint note.
#include <span>

#include "checkpoint/checkpoint.hpp"
#include "note/signed_note.hpp"
#include "witness/policy.hpp"
#include "witness/witness_error.hpp"

namespace quorvantile_log::witness {

// The log's keys (one or more, all named as the origin; a log rotating its key lists each) form
// one trusted set under the signed-note rule: every line for any of them must verify and at least
// one such line must exist. Keys are checked in the order given and the first failure names its
// key; with no line at all, the first key is named. Types 0x01 and 0xFF verify through the note
// verifier; type 0x06 lines are timestamped ML-DSA-44 signatures of the whole tree under the
// log's key name, which leave extension lines unsigned and so are refused on checkpoints that
// have them.
WitnessResult<void> verify_log_signature(std::span<const PolicyLog* const> logs, const note::SignedNote& note,
                                         const checkpoint::Checkpoint& checkpoint);

}  // namespace quorvantile_log::witness
