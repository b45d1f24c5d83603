// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Enforcement: "declared == observed" for one posture element at a time.
#include <string>

#include "policy/namespace_policy.hpp"
#include "policy/operations.hpp"
#include "policy/posture_tags.hpp"
#include "quorvantile_crypto/sign.hpp"

namespace quorvantile_log::policy {
namespace {

constexpr uint16_t kConiksBackend = 0x0001;
constexpr uint16_t kKeytransBackend = 0xF004;
constexpr uint8_t kClassicalVrfSuite = 0x03;

std::string declared_scheme(const NamespacePolicy& p) {
  return std::string(name_of(p.checkpoint_suite)) + "/" + std::string(name_of(p.security_level));
}

// Suites and levels are compared by name: the policy's enumerations and the signature scheme's
// share their vocabulary, and a Cat2 scheme has no counterpart in a policy.
bool same_suite(CheckpointSuite declared, quorvantile_crypto::Suite observed) {
  return name_of(declared) == quorvantile_crypto::to_string(observed);
}
bool same_level(SecurityLevel declared, quorvantile_crypto::SignatureLevel observed) {
  return name_of(declared) == quorvantile_crypto::to_string(observed);
}

Result<void> check_checkpoint_posture(const NamespacePolicy& p, const quorvantile_crypto::Posture& observed) {
  if (same_suite(p.checkpoint_suite, observed.first) && same_level(p.security_level, observed.second)) return {};
  return std::unexpected(Error::posture_mismatch(
      declared_scheme(p), std::string(quorvantile_crypto::to_string(observed.first)) + "/" +
                              std::string(quorvantile_crypto::to_string(observed.second))));
}

using PostureOf = quorvantile_crypto::CryptoResult<quorvantile_crypto::Posture> (*)(std::string_view);

Result<void> enforce_token(ByteView envelope, std::string_view token, PostureOf posture_of, std::string_view what) {
  const auto policy = verified_policy(envelope);
  if (!policy) return std::unexpected(policy.error());
  const auto observed = posture_of(token);
  if (!observed) {
    return std::unexpected(Error::posture_mismatch(
        declared_scheme(*policy), "undecodable checkpoint " + std::string(what) + " (" + observed.error().to_string() + ")"));
  }
  return check_checkpoint_posture(*policy, *observed);
}

}  // namespace

Result<void> enforce_checkpoint_signature(ByteView envelope, std::string_view signature) {
  return enforce_token(envelope, signature, quorvantile_crypto::signature_posture, "signature");
}

Result<void> enforce_checkpoint_signing_key(ByteView envelope, std::string_view public_key) {
  return enforce_token(envelope, public_key, quorvantile_crypto::public_key_posture, "key");
}

Result<void> enforce_commitment_hash(ByteView envelope, CommitmentHash observed) {
  const auto policy = verified_policy(envelope);
  if (!policy) return std::unexpected(policy.error());
  if (observed == policy->commitment_hash) return {};
  return std::unexpected(Error::posture_mismatch("commitment_hash " + std::string(name_of(policy->commitment_hash)),
                                                 "commitment_hash " + std::string(name_of(observed))));
}

Result<void> enforce_directory_backend(ByteView envelope, uint16_t observed_backend_id) {
  const auto policy = verified_policy(envelope);
  if (!policy) return std::unexpected(policy.error());
  const uint16_t declared = policy->directory_mode == DirectoryMode::Keytrans ? kKeytransBackend : kConiksBackend;
  if (observed_backend_id == declared) return {};
  return std::unexpected(Error::posture_mismatch(
      "directory_mode " + std::string(name_of(policy->directory_mode)) + " (backend 0x" + lower_hex(declared, 4) + ")",
      "directory backend 0x" + lower_hex(observed_backend_id, 4)));
}

Result<void> enforce_vrf_suite_id(ByteView envelope, uint8_t observed_suite_id) {
  const auto policy = verified_policy(envelope);
  if (!policy) return std::unexpected(policy.error());
  if (policy->vrf_mode == VrfMode::Classical && observed_suite_id == kClassicalVrfSuite) return {};
  return std::unexpected(Error::posture_mismatch("vrf_mode Classical (suite_id 0x03)",
                                                 "vrf suite_id 0x" + lower_hex(observed_suite_id, 2)));
}

}  // namespace quorvantile_log::policy
