// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The posture of a verified policy, with the two hashes that identify its canonical record.
#include "merkle/merkle.hpp"
#include "policy/namespace_policy.hpp"
#include "policy/operations.hpp"
#include "quorvantile_crypto/hash.hpp"

namespace quorvantile_log::policy {

Result<PolicyPosture> signed_policy_verify(ByteView envelope) {
  auto policy = verified_policy(envelope);
  if (!policy) return std::unexpected(std::move(policy.error()));
  const auto label = policy->context_label();
  if (!label) return std::unexpected(label.error());
  const Bytes canonical = policy->canonical_bytes();
  const Hash64 policy_hash = quorvantile_crypto::sha3_512_with_context(quorvantile_crypto::as_bytes(*label), canonical);
  const auto leaf_hash = merkle::hash_leaf(canonical);

  PolicyPosture posture;
  posture.namespace_ = std::move(policy->namespace_);
  posture.policy_schema_version = policy->policy_schema_version;
  posture.security_level = policy->security_level;
  posture.checkpoint_suite = policy->checkpoint_suite;
  posture.commitment_hash = policy->commitment_hash;
  posture.vrf_mode = policy->vrf_mode;
  posture.directory_mode = policy->directory_mode;
  posture.keytrans_suite = policy->keytrans_suite;
  posture.effective_from = policy->effective_from;
  posture.created_at = policy->created_at;
  posture.policy_hash.assign(policy_hash.begin(), policy_hash.end());
  posture.rfc6962_leaf_hash.assign(leaf_hash.begin(), leaf_hash.end());
  return posture;
}

}  // namespace quorvantile_log::policy
