// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "keytrans/tls/proof.hpp"

#include "keytrans/tls/try.hpp"

#include <algorithm>
#include <cstring>
#include "keytrans/tls/text.hpp"

namespace quorvantile_log::keytrans {
namespace {

Hash32 to_hash(ByteView bytes) {
  Hash32 h;
  std::memcpy(h.data(), bytes.data(), kHashSize);
  return h;
}

Error present_flag(std::string_view field, uint8_t got) {
  return malformed(field, " must be 0 or 1, got ", got);
}

Result<PrefixSearchResult> read_prefix_search_result(ByteView bytes, std::size_t commitment_len) {
  Reader r(bytes);
  PrefixSearchResult result;
  KT_TRY_ASSIGN(type, r.u8("PrefixSearchResult.result_type"));
  switch (type) {
    case 1:
      result.result_type = PrefixResultType::Inclusion;
      break;
    case 2: {
      result.result_type = PrefixResultType::NonInclusionLeaf;
      KT_TRY_ASSIGN(output, r.take(kHashSize, "PrefixLeaf.vrf_output"));
      KT_TRY_ASSIGN(commitment, r.take(commitment_len, "PrefixLeaf.commitment"));
      result.leaf = PrefixLeaf{to_hash(output), commitment};
      break;
    }
    case 3:
      result.result_type = PrefixResultType::NonInclusionParent;
      break;
    default:
      return std::unexpected(malformed("unknown PrefixSearchResultType ", type));
  }
  KT_TRY_ASSIGN(depth, r.u8("PrefixSearchResult.depth"));
  result.depth = depth;
  KT_TRY(r.finish("PrefixProof.results (expected exactly one result)"));
  return result;
}

Result<PrefixProof> read_prefix_proof(ByteView bytes, std::size_t commitment_len) {
  Reader r(bytes);
  KT_TRY_ASSIGN(results, r.vec_u8("PrefixProof.results"));
  KT_TRY_ASSIGN(result, read_prefix_search_result(results, commitment_len));
  KT_TRY_ASSIGN(elements, read_hash_vector(r, "PrefixProof.elements"));
  KT_TRY(r.finish("PrefixProof"));
  return PrefixProof{std::move(result), std::move(elements)};
}

}  // namespace

Result<void> expect_kind(Reader& r, ProofKind kind, std::string_view kind_name) {
  KT_TRY_ASSIGN(got, r.u8("Proof.kind"));
  if (got != static_cast<uint8_t>(kind))
    return std::unexpected(malformed("expected ", kind_name, " proof (kind ", static_cast<unsigned>(kind), "), got kind ", got));
  return {};
}

Result<std::vector<Hash32>> read_hash_vector(Reader& r, std::string_view name) {
  KT_TRY_ASSIGN(bytes, r.vec_u16(name));
  if (bytes.size() % kHashSize != 0)
    return std::unexpected(malformed(name, ": ", bytes.size(), " bytes is not a multiple of the ", kHashSize, "-byte hash size"));
  std::vector<Hash32> hashes(bytes.size() / kHashSize);
  if (!hashes.empty()) std::memcpy(hashes.data(), bytes.data(), bytes.size());
  return hashes;
}

Result<ProofHead> read_head(Reader& r) {
  ProofHead head;
  KT_TRY_ASSIGN(entry_index, r.u64("Proof.entry_index"));
  KT_TRY_ASSIGN(tree_size, r.u64("Proof.tree_size"));
  KT_TRY_ASSIGN(timestamp, r.u64("Proof.timestamp"));
  KT_TRY_ASSIGN(prefix_root, r.take(kHashSize, "Proof.prefix_root"));
  KT_TRY_ASSIGN(log_inclusion, read_hash_vector(r, "Proof.log_inclusion"));
  head.entry_index = entry_index;
  head.tree_size = tree_size;
  head.timestamp = timestamp;
  head.prefix_root = to_hash(prefix_root);
  head.log_inclusion = std::move(log_inclusion);
  return head;
}

Result<LadderStep> read_ladder_step(Reader& r, std::size_t commitment_len) {
  LadderStep step;
  KT_TRY_ASSIGN(version, r.u32("LadderStep.version"));
  KT_TRY_ASSIGN(vrf_proof, r.vec_u16("LadderStep.vrf_proof"));
  KT_TRY_ASSIGN(prefix_bytes, r.vec_u16("LadderStep.prefix_proof"));
  KT_TRY_ASSIGN(prefix_proof, read_prefix_proof(prefix_bytes, commitment_len));
  KT_TRY_ASSIGN(has_commitment, r.u8("LadderStep.has_commitment"));
  if (has_commitment == 1) {
    KT_TRY_ASSIGN(commitment, r.take(commitment_len, "LadderStep.commitment"));
    step.commitment = commitment;
  } else if (has_commitment != 0) {
    return std::unexpected(present_flag("LadderStep.has_commitment", has_commitment));
  }
  step.version = version;
  step.vrf_proof = vrf_proof;
  step.prefix_proof = std::move(prefix_proof);
  return step;
}

Result<std::vector<LadderStep>> read_ladder(Reader& r, std::size_t commitment_len) {
  KT_TRY_ASSIGN(count, r.u16("Ladder.count"));
  // The smallest step is 14 bytes; the count alone never sizes the allocation.
  constexpr std::size_t kMinStep = 4 + 2 + 2 + 1 + 1 + 1 + 2 + 1;
  std::vector<LadderStep> steps;
  steps.reserve(std::min<std::size_t>(count, r.remaining() / kMinStep));
  for (uint16_t i = 0; i < count; ++i) {
    KT_TRY_ASSIGN(step, read_ladder_step(r, commitment_len));
    steps.push_back(std::move(step));
  }
  return steps;
}

Result<std::optional<RevealedValue>> read_revealed(Reader& r) {
  KT_TRY_ASSIGN(present, r.u8("RevealedValue.present"));
  if (present == 0) return std::optional<RevealedValue>{};
  if (present != 1) return std::unexpected(present_flag("RevealedValue.present", present));
  KT_TRY_ASSIGN(len, r.u32("RevealedValue.value"));
  KT_TRY_ASSIGN(value, r.take(len, "RevealedValue.value"));
  KT_TRY_ASSIGN(opening, r.vec_u8("RevealedValue.opening"));
  return std::optional<RevealedValue>{RevealedValue{value, opening}};
}

Result<KeytransSearchProof> decode_search_proof(ByteView bytes, std::size_t commitment_len) {
  Reader r(bytes);
  KeytransSearchProof proof;
  KT_TRY(expect_kind(r, ProofKind::Search, "search"));
  KT_TRY_ASSIGN(head, read_head(r));
  proof.head = std::move(head);
  KT_TRY_ASSIGN(flag, r.u8("SearchProof.greatest_version"));
  if (flag == 1) {
    KT_TRY_ASSIGN(greatest, r.u32("SearchProof.greatest_version"));
    proof.greatest_version = greatest;
  } else if (flag != 0) {
    return std::unexpected(present_flag("SearchProof.greatest_version.present", flag));
  }
  KT_TRY_ASSIGN(ladder, read_ladder(r, commitment_len));
  proof.ladder = std::move(ladder);
  KT_TRY_ASSIGN(revealed, read_revealed(r));
  proof.revealed = revealed;
  KT_TRY(r.finish("KeytransSearchProof"));
  return proof;
}

Result<KeytransMonitorProof> decode_monitor_proof(ByteView bytes, std::size_t commitment_len) {
  Reader r(bytes);
  KeytransMonitorProof proof;
  KT_TRY(expect_kind(r, ProofKind::Monitor, "monitor"));
  KT_TRY_ASSIGN(head, read_head(r));
  proof.head = std::move(head);
  KT_TRY_ASSIGN(version, r.u32("MonitorProof.version"));
  proof.version = version;
  KT_TRY_ASSIGN(ladder, read_ladder(r, commitment_len));
  proof.ladder = std::move(ladder);
  KT_TRY(r.finish("KeytransMonitorProof"));
  return proof;
}

Result<KeytransFixedVersionProof> decode_fixed_version_proof(ByteView bytes, std::size_t commitment_len) {
  Reader r(bytes);
  KeytransFixedVersionProof proof;
  KT_TRY(expect_kind(r, ProofKind::FixedVersion, "fixed-version"));
  KT_TRY_ASSIGN(head, read_head(r));
  proof.head = std::move(head);
  KT_TRY_ASSIGN(step, read_ladder_step(r, commitment_len));
  proof.step = std::move(step);
  KT_TRY_ASSIGN(revealed, read_revealed(r));
  proof.revealed = revealed;
  KT_TRY(r.finish("KeytransFixedVersionProof"));
  return proof;
}

}  // namespace quorvantile_log::keytrans
