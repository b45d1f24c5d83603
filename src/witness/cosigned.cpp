// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "witness/cosigned.hpp"

#include <algorithm>

#include "checkpoint/checkpoint.hpp"
#include "note/signed_note.hpp"
#include "witness/cosignature.hpp"
#include "witness/log_signature.hpp"

namespace quorvantile_log::witness {

WitnessResult<CosignedCheckpoint> verify_cosigned(const Policy& policy, std::string_view note_text) {
  const auto note = note::SignedNote::parse(note_text);
  if (!note) return std::unexpected(WitnessError::library(note.error()));
  const auto checkpoint = checkpoint::Checkpoint::parse(note->text());
  if (!checkpoint) return std::unexpected(WitnessError::library(checkpoint.error()));

  const PolicyLog* log = policy.log_for(checkpoint->origin);
  if (log == nullptr) return std::unexpected(WitnessError::unknown_log(checkpoint->origin));
  if (auto verified = verify_log_signature(*log, *note, *checkpoint); !verified) {
    return std::unexpected(std::move(verified.error()));
  }

  CosignedCheckpoint result;
  result.checkpoint = checkpoint->to_head();
  result.log_key_name = log->key.name;
  std::vector<bool> counted(policy.witnesses.size(), false);
  for (std::size_t i = 0; i < policy.witnesses.size(); ++i) {
    const PolicyWitness& witness = policy.witnesses[i];
    std::optional<uint64_t> newest;        // of this witness's lines that verify
    std::optional<std::string_view> first_failure;
    for (const note::Signature& line : note->signatures()) {
      if (line.key_id != witness.key.key_id || line.name != witness.key.name) continue;
      const auto checked = check_cosignature(witness.key, *checkpoint, note->text(), line.signature);
      if (checked) {
        newest = std::max(newest.value_or(0), *checked);
      } else if (!first_failure) {
        first_failure = checked.error();
      }
    }
    // A line that verifies outweighs any failing line from the same key: lines can be appended to
    // a note by anyone, so a bad line must not unseat a good cosignature.
    if (newest) {
      counted[i] = true;
      result.counted_witnesses.push_back(witness.name);
      result.oldest_timestamp = std::min(result.oldest_timestamp.value_or(*newest), *newest);
      result.newest_timestamp = std::max(result.newest_timestamp.value_or(*newest), *newest);
    } else if (first_failure) {
      result.rejected_witnesses.push_back(RejectedWitness{witness.name, std::string(*first_failure)});
    }
  }

  if (!policy.quorum_satisfied(counted)) {
    return std::unexpected(WitnessError::quorum_not_met(policy.quorum_name(), result.counted_witnesses.size()));
  }
  return result;
}

}  // namespace quorvantile_log::witness
