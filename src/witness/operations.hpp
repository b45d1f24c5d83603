// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The work of the witness exports. Each takes the policy text and parses it first, so a policy
// error is reported even when the other inputs are also malformed.
#include <span>
#include <string_view>

#include "quorvantile_crypto/bytes.hpp"
#include "witness/records.hpp"
#include "witness/witness_error.hpp"

namespace quorvantile_log::witness {

// Parses a quorum policy and describes it.
WitnessResult<WitnessPolicy> witness_policy_parse(std::string_view policy);

// Verifies a checkpoint note under the policy: the origin's log signature must verify, the body
// must be a well-formed checkpoint, and the counted witness cosignatures must satisfy the quorum.
WitnessResult<CosignedCheckpoint> checkpoint_verify_cosigned(std::string_view note_text, std::string_view policy);

// Verifies both checkpoints as checkpoint_verify_cosigned does, requires the same origin, then
// verifies the RFC 6962 consistency proof from the older tree to the newer.
WitnessResult<void> checkpoint_verify_cosigned_consistency(std::string_view older_note, std::string_view newer_note,
                                                           std::string_view policy,
                                                           std::span<const quorvantile_crypto::ByteView> proof);

// Parses a proof bundle, verifies its checkpoint under the policy, then the inclusion of the
// 32-byte `leaf_hash` at the bundle's index.
WitnessResult<TlogProof> tlog_proof_verify(std::string_view proof_text, std::string_view policy,
                                           quorvantile_crypto::ByteView leaf_hash);

}  // namespace quorvantile_log::witness
