// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Verification of a checkpoint note under a parsed policy: the log's signature, then every
// configured witness's cosignature lines, then the quorum.
#include <string_view>

#include "witness/policy.hpp"
#include "witness/records.hpp"
#include "witness/witness_error.hpp"

namespace quorvantile_log::witness {

// Checks in order: the note parses, its text is a well-formed checkpoint, a policy log has the
// origin as key name, that log's signature verifies, then the cosignatures are counted and the
// quorum applied.
WitnessResult<CosignedCheckpoint> verify_cosigned(const Policy& policy, std::string_view note_text);

}  // namespace quorvantile_log::witness
