// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Witness quorum policies: the logs a checkpoint may come from, the witnesses whose cosignatures
// count, k-of-n groups over them, and the one quorum rule.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "witness/records.hpp"
#include "witness/vkey.hpp"
#include "witness/witness_error.hpp"

namespace quorvantile_log::witness {

// A witness or a group, by its position in the policy.
struct PolicyRef {
  enum class Kind : uint8_t { Witness, Group } kind = Kind::Witness;
  std::size_t index = 0;
};

struct PolicyLog {
  Vkey key;  // type 0x01, 0x06 or 0xFF
  std::optional<std::string> url;
};

struct PolicyWitness {
  std::string name;  // policy-local
  Vkey key;          // type 0x04 or 0x06
  std::optional<std::string> url;
};

struct PolicyGroup {
  std::string name;
  uint64_t threshold = 0;  // 1 <= threshold <= members.size()
  std::vector<PolicyRef> members;  // each refers to a witness or an earlier group
};

struct Policy {
  std::vector<PolicyLog> logs;
  std::vector<PolicyWitness> witnesses;
  std::vector<PolicyGroup> groups;
  std::optional<PolicyRef> quorum;  // empty for "none"

  // Parses a policy file. Failures are MalformedPolicy errors naming the first failing line.
  static WitnessResult<Policy> parse(std::string_view text);

  // The logs whose key name equals the origin, in policy order: a log that rotates its key is
  // listed once per key, and all of them together are its trusted set.
  std::vector<const PolicyLog*> logs_for(std::string_view origin) const;

  // Whether the quorum holds when exactly the witnesses flagged in `counted` (indexed like
  // `witnesses`) are satisfied.
  bool quorum_satisfied(const std::vector<bool>& counted) const;

  // The quorum's name ("none" when no cosignatures are required).
  std::string quorum_name() const;

  WitnessPolicy describe() const;
};

}  // namespace quorvantile_log::witness
