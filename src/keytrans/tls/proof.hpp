// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The three key-transparency proof records and their decoders. Fixed-size hashes are copied once
// into arrays; variable-length fields (VRF proofs, commitments, revealed values) are views into
// the proof bytes, which the caller keeps alive while the decoded record is used.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "keytrans/tls/reader.hpp"

namespace quorvantile_log::keytrans {

inline constexpr std::size_t kHashSize = 32;

enum class ProofKind : uint8_t { Search = 1, FixedVersion = 2, Monitor = 3 };

struct ProofHead {
  uint64_t entry_index = 0;
  uint64_t tree_size = 0;
  uint64_t timestamp = 0;
  Hash32 prefix_root{};
  std::vector<Hash32> log_inclusion;
};

enum class PrefixResultType : uint8_t { Inclusion = 1, NonInclusionLeaf = 2, NonInclusionParent = 3 };

struct PrefixLeaf {
  Hash32 vrf_output{};
  ByteView commitment;
};

struct PrefixSearchResult {
  PrefixResultType result_type = PrefixResultType::Inclusion;
  std::optional<PrefixLeaf> leaf;
  uint8_t depth = 0;
};

struct PrefixProof {
  PrefixSearchResult result;
  std::vector<Hash32> elements;  // copath from the root downwards
};

struct LadderStep {
  uint32_t version = 0;
  ByteView vrf_proof;
  PrefixProof prefix_proof;
  std::optional<ByteView> commitment;
};

struct RevealedValue {
  ByteView value;
  ByteView opening;
};

struct KeytransSearchProof {
  ProofHead head;
  std::optional<uint32_t> greatest_version;
  std::vector<LadderStep> ladder;
  std::optional<RevealedValue> revealed;
};

struct KeytransMonitorProof {
  ProofHead head;
  uint32_t version = 0;
  std::vector<LadderStep> ladder;
};

struct KeytransFixedVersionProof {
  ProofHead head;
  LadderStep step;
  std::optional<RevealedValue> revealed;
};

// Pieces, each reading from `r` with the field names of the encoding.
Result<void> expect_kind(Reader& r, ProofKind kind, std::string_view kind_name);
Result<std::vector<Hash32>> read_hash_vector(Reader& r, std::string_view name);
Result<ProofHead> read_head(Reader& r);
Result<LadderStep> read_ladder_step(Reader& r, std::size_t commitment_len);
Result<std::vector<LadderStep>> read_ladder(Reader& r, std::size_t commitment_len);
Result<std::optional<RevealedValue>> read_revealed(Reader& r);

// Whole proofs: kind byte, head, the kind's fields, nothing after.
Result<KeytransSearchProof> decode_search_proof(ByteView bytes, std::size_t commitment_len);
Result<KeytransMonitorProof> decode_monitor_proof(ByteView bytes, std::size_t commitment_len);
Result<KeytransFixedVersionProof> decode_fixed_version_proof(ByteView bytes, std::size_t commitment_len);

}  // namespace quorvantile_log::keytrans
