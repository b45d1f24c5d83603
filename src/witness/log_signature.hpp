// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The log's own signature on a checkpoint note.
#include "checkpoint/checkpoint.hpp"
#include "note/signed_note.hpp"
#include "witness/policy.hpp"
#include "witness/witness_error.hpp"

namespace quorvantile_log::witness {

// Every line for the log's (name, key id) must verify and at least one must exist, as for signed
// notes. Types 0x01 and 0xFF verify through the note verifier; type 0x06 lines are timestamped
// ML-DSA-44 signatures of the whole tree under the log's key name, which leave extension lines
// unsigned and so are refused on checkpoints that have them.
WitnessResult<void> verify_log_signature(const PolicyLog& log, const note::SignedNote& note,
                                         const checkpoint::Checkpoint& checkpoint);

}  // namespace quorvantile_log::witness
