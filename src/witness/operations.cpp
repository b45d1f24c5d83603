// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "witness/operations.hpp"

#include "merkle/merkle.hpp"
#include "text/utf8.hpp"
#include "witness/cosigned.hpp"
#include "witness/policy.hpp"
#include "witness/tlog_proof.hpp"

namespace quorvantile_log::witness {
namespace {

bool is_utf8(std::string_view text) { return utf8::check(quorvantile_crypto::as_bytes(text)).valid; }

}  // namespace

WitnessResult<WitnessPolicy> witness_policy_parse(std::string_view policy) {
  const auto parsed = Policy::parse(policy);
  if (!parsed) return std::unexpected(parsed.error());
  return parsed->describe();
}

WitnessResult<CosignedCheckpoint> checkpoint_verify_cosigned(std::string_view note_text, std::string_view policy) {
  const auto parsed = Policy::parse(policy);
  if (!parsed) return std::unexpected(parsed.error());
  return verify_cosigned(*parsed, note_text);
}

WitnessResult<void> checkpoint_verify_cosigned_consistency(std::string_view older_note, std::string_view newer_note,
                                                           std::string_view policy,
                                                           std::span<const quorvantile_crypto::ByteView> proof) {
  const auto parsed = Policy::parse(policy);
  if (!parsed) return std::unexpected(parsed.error());
  const auto older = verify_cosigned(*parsed, older_note);
  if (!older) return std::unexpected(older.error());
  const auto newer = verify_cosigned(*parsed, newer_note);
  if (!newer) return std::unexpected(newer.error());
  // A consistency proof relates two states of one log; between two logs it proves nothing.
  if (older->checkpoint.origin != newer->checkpoint.origin) {
    return std::unexpected(WitnessError::origin_mismatch(older->checkpoint.origin, newer->checkpoint.origin));
  }
  const auto consistent = merkle::verify_consistency(older->checkpoint.size, newer->checkpoint.size, proof,
                                                     older->checkpoint.root, newer->checkpoint.root);
  if (!consistent) return std::unexpected(WitnessError::library(consistent.error()));
  return {};
}

WitnessResult<TlogProof> tlog_proof_verify(std::string_view proof_text, std::string_view policy,
                                           quorvantile_crypto::ByteView leaf_hash) {
  const auto parsed = Policy::parse(policy);
  if (!parsed) return std::unexpected(parsed.error());
  // A bundle is text, and its note comes back as record strings.
  if (!is_utf8(proof_text)) return std::unexpected(WitnessError::malformed_proof("text is not valid UTF-8"));
  auto bundle = parse_tlog_proof(proof_text);
  if (!bundle) return std::unexpected(bundle.error());
  auto cosigned = verify_cosigned(*parsed, bundle->note);
  if (!cosigned) return std::unexpected(cosigned.error());

  std::vector<quorvantile_crypto::ByteView> path(bundle->proof.begin(), bundle->proof.end());
  const auto included = merkle::verify_inclusion(bundle->index, cosigned->checkpoint.size, leaf_hash, path,
                                                 cosigned->checkpoint.root);
  if (!included) return std::unexpected(WitnessError::library(included.error()));
  return TlogProof{bundle->index, std::move(bundle->extra), std::move(*cosigned)};
}

}  // namespace quorvantile_log::witness
