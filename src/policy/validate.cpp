// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The consistency rules of a policy record, in the order that decides which one is reported.
#include <string>

#include "policy/namespace_policy.hpp"
#include "policy/posture_tags.hpp"

namespace quorvantile_log::policy {

Result<void> NamespacePolicy::validate() const {
  auto fail = [](std::string detail) -> Result<void> { return std::unexpected(Error::malformed_policy(std::move(detail))); };
  if (policy_schema_version == 0) return fail("policy_schema_version must be >= 1");
  const CommitmentHash derived =
      security_level == SecurityLevel::Cat3 ? CommitmentHash::Sha3_256 : CommitmentHash::Sha3_512;
  if (commitment_hash != derived) {
    return fail("commitment_hash " + std::string(name_of(commitment_hash)) +
                " does not match the one derived from security_level " + std::string(name_of(security_level)));
  }
  if (vrf_mode != VrfMode::Classical) {
    return fail("vrf_mode " + std::string(name_of(vrf_mode)) + " is not legal in v0.1 (only Classical)");
  }
  if (checkpoint_suite == CheckpointSuite::PureCnsa2 && security_level == SecurityLevel::Cat3) {
    return fail("PureCnsa2 checkpoint_suite requires security_level Cat5");
  }
  if (directory_mode == DirectoryMode::Coniks && keytrans_suite != KeytransSuite::QuorvantileHybridExp) {
    return fail("keytrans_suite " + std::string(name_of(keytrans_suite)) + " is only meaningful on the Keytrans route");
  }
  return {};
}

}  // namespace quorvantile_log::policy
