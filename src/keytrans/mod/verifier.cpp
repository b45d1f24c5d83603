// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "keytrans/mod/verifier.hpp"

#include <algorithm>
#include <cstdio>

#include "keytrans/ladder/ladder.hpp"
#include "keytrans/log_tree/log_tree.hpp"
#include "keytrans/prefix_tree/prefix_tree.hpp"
#include "keytrans/tls/text.hpp"
#include "keytrans/tls/try.hpp"

namespace quorvantile_log::keytrans {
namespace {

const vrf::Vrf& ed25519_vrf() {
  static const vrf::Ecvrf instance;
  return instance;
}

const vrf::Vrf& p256_vrf() {
  static const vrf::EcvrfP256 instance;
  return instance;
}

// Step versions against the canonical ladder, compared by the ladder values' low 32 bits.
bool matches(const std::vector<LadderStep>& steps, const std::vector<uint64_t>& expected) {
  return steps.size() == expected.size() &&
         std::equal(steps.begin(), steps.end(), expected.begin(),
                    [](const LadderStep& s, uint64_t v) { return s.version == ladder::low32(v); });
}

std::string optional_version(std::optional<uint32_t> v) { return v ? text("Some(", *v, ")") : std::string("None"); }

}  // namespace

Result<KeytransVerifier> keytrans_verifier_for_suite(uint16_t suite_id, std::string_view context, ByteView vrf_public) {
  switch (suite_id) {
    case 0x0001:
      return KeytransVerifier::new_with_suite(context, KtSuite::Kt128Sha256P256, p256_vrf(), vrf_public);
    case 0x0002:
      return KeytransVerifier::new_with_suite(context, KtSuite::Kt128Sha256Ed25519, ed25519_vrf(), vrf_public);
    case 0xF000:
      return keytrans_default_verifier(context, vrf_public);
    default: {
      char hex[8];
      std::snprintf(hex, sizeof hex, "%04x", static_cast<unsigned>(suite_id));
      return std::unexpected(malformed("unknown keytrans suite id 0x", std::string_view(hex)));
    }
  }
}

KeytransVerifier keytrans_default_verifier(std::string_view context, ByteView vrf_public) {
  return KeytransVerifier::new_with_suite(context, KtSuite::QuorvantileHybridExp, ed25519_vrf(), vrf_public);
}

Result<void> KeytransVerifier::check_combined_root(const Hash32& root, const ProofHead& head) const {
  return log_tree::check_combined_root(root, head);
}

Result<bool> KeytransVerifier::check_step(const Hash32& prefix_root, ByteView label, const LadderStep& step) const {
  prefix_tree::Hasher hasher;
  return check_step(*vrf_->keyed(vrf_public_), hasher, prefix_root, label, step);
}

Result<bool> KeytransVerifier::check_step(const vrf::KeyedVerification& vrf, prefix_tree::Hasher& hasher,
                                          const Hash32& prefix_root, ByteView label, const LadderStep& step) const {
  Bytes alpha;
  alpha.reserve(1 + label.size() + 4);
  KT_TRY(write_vec_u8(alpha, label, "VrfInput.label"));
  for (int shift = 24; shift >= 0; shift -= 8) alpha.push_back(static_cast<uint8_t>(step.version >> shift));

  KT_TRY_ASSIGN(verified, vrf.verify(alpha, step.vrf_proof));
  if (!verified) return std::unexpected(Error::vrf_proof_invalid());
  Hash32 key;
  std::copy_n(verified->begin(), key.size(), key.begin());

  const PrefixProof& prefix = step.prefix_proof;
  Hash32 start{};
  switch (prefix.result.result_type) {
    case PrefixResultType::Inclusion:
      if (!step.commitment) return std::unexpected(malformed("inclusion ladder rung is missing its commitment"));
      KT_TRY(prefix_tree::check_depth(prefix));
      start = hasher.leaf(key, *step.commitment);
      break;
    case PrefixResultType::NonInclusionLeaf: {
      KT_TRY(prefix_tree::check_depth(prefix));
      if (!prefix.result.leaf) return std::unexpected(malformed("nonInclusionLeaf proof is missing its leaf"));
      const PrefixLeaf& leaf = *prefix.result.leaf;
      if (leaf.vrf_output == key) return std::unexpected(malformed("forged absence: terminal leaf matches the search key"));
      for (std::size_t i = 0; i < prefix.elements.size(); ++i) {
        if (prefix_tree::key_bit(leaf.vrf_output, i) != prefix_tree::key_bit(key, i))
          return std::unexpected(malformed("cross-key absence: terminal leaf does not share the search-key prefix"));
      }
      start = hasher.leaf(leaf.vrf_output, leaf.commitment);
      break;
    }
    case PrefixResultType::NonInclusionParent:
      KT_TRY(prefix_tree::check_depth(prefix));
      break;
  }
  if (prefix_tree::recompute_root(hasher, key, start, prefix.elements) != prefix_root)
    return std::unexpected(Error::keytrans_root_mismatch());
  return prefix.result.result_type == PrefixResultType::Inclusion;
}

Result<Bytes> KeytransVerifier::commit(ByteView label, uint32_t version, const RevealedValue& revealed) const {
  return suite_.commit(context_, label, version, revealed.value, revealed.opening);
}

Result<std::optional<Bytes>> KeytransVerifier::verify_search_bytes(ByteView root, ByteView label, ByteView proof_bytes) const {
  KT_TRY_ASSIGN(expected_root, log_tree::root_array(root));
  KT_TRY_ASSIGN(proof, decode_search_proof(proof_bytes, suite_.commitment_size()));
  KT_TRY(check_combined_root(expected_root, proof.head));
  KT_TRY(log_tree::check_latest_entry(proof.head));

  const std::optional<uint32_t> greatest = proof.greatest_version;
  if (!matches(proof.ladder, ladder::search_ladder(greatest)))
    return std::unexpected(malformed("search ladder versions do not match the canonical binary ladder"));

  prefix_tree::Hasher hasher;
  const std::unique_ptr<vrf::KeyedVerification> keyed = vrf_->keyed(vrf_public_);
  for (const LadderStep& step : proof.ladder) {
    KT_TRY_ASSIGN(included, check_step(*keyed, hasher, proof.head.prefix_root, label, step));
    const bool expected = greatest && step.version <= *greatest;
    if (included != expected)
      return std::unexpected(malformed("ladder rung version ", step.version, " inclusion ", included ? "true" : "false",
                                       " contradicts claimed greatest ", optional_version(greatest)));
  }
  if (!greatest) return std::optional<Bytes>{};
  if (!proof.revealed) return std::unexpected(malformed("present label is missing its revealed value"));
  KT_TRY_ASSIGN(commitment, commit(label, *greatest, *proof.revealed));

  auto rung = std::find_if(proof.ladder.begin(), proof.ladder.end(),
                           [&](const LadderStep& s) { return s.version == *greatest; });
  if (rung == proof.ladder.end() || !rung->commitment)
    return std::unexpected(malformed("greatest version is missing its inclusion commitment"));
  if (!std::ranges::equal(*rung->commitment, commitment)) return std::unexpected(Error::commitment_mismatch());
  return std::optional<Bytes>(Bytes(proof.revealed->value.begin(), proof.revealed->value.end()));
}

Result<void> KeytransVerifier::verify_monitor_bytes(ByteView root, ByteView label, ByteView proof_bytes) const {
  KT_TRY_ASSIGN(expected_root, log_tree::root_array(root));
  KT_TRY_ASSIGN(proof, decode_monitor_proof(proof_bytes, suite_.commitment_size()));
  KT_TRY(check_combined_root(expected_root, proof.head));
  if (!matches(proof.ladder, ladder::monitoring_ladder(proof.version)))
    return std::unexpected(malformed("monitor ladder versions do not match the canonical monitoring ladder"));
  prefix_tree::Hasher hasher;
  const std::unique_ptr<vrf::KeyedVerification> keyed = vrf_->keyed(vrf_public_);
  for (const LadderStep& step : proof.ladder) {
    KT_TRY_ASSIGN(included, check_step(*keyed, hasher, proof.head.prefix_root, label, step));
    if (!included) return std::unexpected(Error::keytrans_root_mismatch());
  }
  return {};
}

Result<std::optional<Bytes>> KeytransVerifier::verify_fixed_version_bytes(ByteView root, ByteView label,
                                                                          ByteView proof_bytes) const {
  KT_TRY_ASSIGN(expected_root, log_tree::root_array(root));
  KT_TRY_ASSIGN(proof, decode_fixed_version_proof(proof_bytes, suite_.commitment_size()));
  KT_TRY(check_combined_root(expected_root, proof.head));
  KT_TRY(log_tree::check_latest_entry(proof.head));
  KT_TRY_ASSIGN(included, check_step(proof.head.prefix_root, label, proof.step));
  if (!included) return std::optional<Bytes>{};
  if (!proof.revealed) return std::unexpected(malformed("present fixed version is missing its revealed value"));
  KT_TRY_ASSIGN(commitment, commit(label, proof.step.version, *proof.revealed));
  if (!proof.step.commitment) return std::unexpected(malformed("inclusion is missing its commitment"));
  if (!std::ranges::equal(*proof.step.commitment, commitment)) return std::unexpected(Error::commitment_mismatch());
  return std::optional<Bytes>(Bytes(proof.revealed->value.begin(), proof.revealed->value.end()));
}

}  // namespace quorvantile_log::keytrans
