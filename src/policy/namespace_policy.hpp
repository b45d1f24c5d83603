// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// A namespace's signed policy: the policy record (the posture it declares) and the envelope that
// carries it with a framed public key and signature.
#include <cstdint>
#include <optional>
#include <string>

#include "error/error.hpp"
#include "quorvantile_crypto/bytes.hpp"
#include "types/records.hpp"

namespace quorvantile_log::policy {

using quorvantile_crypto::Bytes;
using quorvantile_crypto::ByteView;
using quorvantile_crypto::Hash64;

struct NamespacePolicy {
  std::string namespace_;
  uint32_t policy_schema_version = 0;
  SecurityLevel security_level = SecurityLevel::Cat3;
  CheckpointSuite checkpoint_suite = CheckpointSuite::Hybrid;
  CommitmentHash commitment_hash = CommitmentHash::Sha3_256;
  VrfMode vrf_mode = VrfMode::Classical;
  // A version-1 record is always Coniks with QuorvantileHybridExp; the record version itself is
  // not kept, it follows from the directory mode.
  DirectoryMode directory_mode = DirectoryMode::Coniks;
  KeytransSuite keytrans_suite = KeytransSuite::QuorvantileHybridExp;
  uint64_t effective_from = 0;
  uint64_t created_at = 0;
  std::optional<Hash64> prev_policy_hash;  // absent for a genesis policy

  // The consistency rules between the declared elements, first failure reported.
  Result<void> validate() const;

  // The bytes that are signed and hashed: version 1 for Coniks, 2 for Keytrans, whatever
  // version the record arrived in.
  Bytes canonical_bytes() const;

  // "{namespace}/namespace-policy/v{1|2}", accepted by the context-label parser.
  Result<std::string> context_label() const;

  // "{namespace}/namespace-policy": the key name a failed signature check reports.
  std::string signer_name() const;

  friend bool operator==(const NamespacePolicy&, const NamespacePolicy&) = default;
};

// A policy record whose bytes were consumed exactly and which passed `validate`.
Result<NamespacePolicy> parse_policy_record(ByteView record);

struct SignedPolicy {
  NamespacePolicy policy;
  Bytes public_key;  // raw framed public-key bytes, non-empty
  Bytes signature;   // raw framed signature bytes, non-empty

  static Result<SignedPolicy> parse(ByteView envelope);

  // The framed signature over the canonical bytes under the context label.
  Result<void> verify() const;
};

// Parse, then verify: the policy a correctly signed envelope declares.
Result<NamespacePolicy> verified_policy(ByteView envelope);

}  // namespace quorvantile_log::policy
