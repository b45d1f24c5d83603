// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The records and enumerations that cross the C boundary, as plain values. Work operations build
// them; the boundary encodes them field by field in declaration order.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "text/text_lines.hpp"

namespace quorvantile_log {

// Enumerations carry their boundary variant numbers (counted from 1 in declaration order).
enum class CheckpointSuite : int32_t { Hybrid = 1, HybridMatched = 2, PureCnsa2 = 3 };
enum class CommitmentHash : int32_t { Sha3_256 = 1, Sha3_512 = 2 };
enum class DirectoryMode : int32_t { Coniks = 1, Keytrans = 2 };
enum class KeytransSuite : int32_t { QuorvantileHybridExp = 1, Kt128Sha256Ed25519 = 2, Kt128Sha256P256 = 3 };
enum class SecurityLevel : int32_t { Cat3 = 1, Cat5 = 2 };
enum class VrfMode : int32_t { Classical = 1, HybridOutput = 2, PurePqExperimental = 3 };

struct CheckpointHead {
  std::string origin;
  uint64_t size = 0;
  std::vector<uint8_t> root;
  text::TextLines extensions;
  friend bool operator==(const CheckpointHead&, const CheckpointHead&) = default;
};

struct SearchResult {
  bool present = false;
  std::optional<std::vector<uint8_t>> value;
  friend bool operator==(const SearchResult&, const SearchResult&) = default;
};

struct PolicyPosture {
  std::string namespace_;  // "namespace" on the wire
  uint32_t policy_schema_version = 0;
  SecurityLevel security_level = SecurityLevel::Cat3;
  CheckpointSuite checkpoint_suite = CheckpointSuite::Hybrid;
  CommitmentHash commitment_hash = CommitmentHash::Sha3_256;
  VrfMode vrf_mode = VrfMode::Classical;
  DirectoryMode directory_mode = DirectoryMode::Coniks;
  KeytransSuite keytrans_suite = KeytransSuite::QuorvantileHybridExp;
  uint64_t effective_from = 0;
  uint64_t created_at = 0;
  std::vector<uint8_t> policy_hash;
  std::vector<uint8_t> rfc6962_leaf_hash;
  friend bool operator==(const PolicyPosture&, const PolicyPosture&) = default;
};

}  // namespace quorvantile_log
