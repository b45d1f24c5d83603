// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Quorum evaluation and the description of a parsed policy.
#include <algorithm>

#include "witness/policy.hpp"

namespace quorvantile_log::witness {

std::vector<const PolicyLog*> Policy::logs_for(std::string_view origin) const {
  std::vector<const PolicyLog*> found;
  for (const PolicyLog& log : logs) {
    if (log.key.name == origin) found.push_back(&log);
  }
  return found;
}

bool Policy::quorum_satisfied(const std::vector<bool>& counted) const {
  if (!quorum) return true;
  // Members only refer to witnesses and earlier groups, so one pass in file order settles every
  // group before any group that uses it.
  std::vector<bool> group_holds(groups.size(), false);
  const auto holds = [&](const PolicyRef& ref) {
    return ref.kind == PolicyRef::Kind::Witness ? counted[ref.index] : bool(group_holds[ref.index]);
  };
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const uint64_t satisfied =
        static_cast<uint64_t>(std::count_if(groups[g].members.begin(), groups[g].members.end(), holds));
    group_holds[g] = satisfied >= groups[g].threshold;
  }
  return holds(*quorum);
}

std::string Policy::quorum_name() const {
  if (!quorum) return "none";
  return quorum->kind == PolicyRef::Kind::Witness ? witnesses[quorum->index].name : groups[quorum->index].name;
}

WitnessPolicy Policy::describe() const {
  WitnessPolicy out;
  for (const PolicyLog& log : logs) out.log_key_names.push_back(log.key.name);
  for (const PolicyWitness& witness : witnesses) out.witness_names.push_back(witness.name);
  for (const PolicyGroup& group : groups) {
    WitnessGroup described{group.name, group.threshold, {}};
    for (const PolicyRef& member : group.members) {
      described.members.push_back(member.kind == PolicyRef::Kind::Witness ? witnesses[member.index].name
                                                                          : groups[member.index].name);
    }
    out.groups.push_back(std::move(described));
  }
  out.quorum = quorum_name();
  return out;
}

}  // namespace quorvantile_log::witness
