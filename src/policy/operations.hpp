// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The work of the policy exports: the verified posture, and the five checks of what a server
// presents against what the policy declares. Each verifies the envelope before it looks at the
// observed value.
#include <cstdint>
#include <string_view>

#include "error/error.hpp"
#include "quorvantile_crypto/bytes.hpp"
#include "types/records.hpp"

namespace quorvantile_log::policy {

Result<PolicyPosture> signed_policy_verify(quorvantile_crypto::ByteView envelope);

// `signature` and `public_key` are framed tokens; only their framing and length are examined.
Result<void> enforce_checkpoint_signature(quorvantile_crypto::ByteView envelope, std::string_view signature);
Result<void> enforce_checkpoint_signing_key(quorvantile_crypto::ByteView envelope, std::string_view public_key);
Result<void> enforce_commitment_hash(quorvantile_crypto::ByteView envelope, CommitmentHash observed);
Result<void> enforce_directory_backend(quorvantile_crypto::ByteView envelope, uint16_t observed_backend_id);
Result<void> enforce_vrf_suite_id(quorvantile_crypto::ByteView envelope, uint8_t observed_suite_id);

}  // namespace quorvantile_log::policy
