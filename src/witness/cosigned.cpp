// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "witness/cosigned.hpp"

#include <algorithm>
#include <functional>
#include <unordered_map>

#include "checkpoint/checkpoint.hpp"
#include "note/signed_note.hpp"
#include "text/utf8.hpp"
#include "witness/cosignature.hpp"
#include "witness/log_signature.hpp"

namespace quorvantile_log::witness {
namespace {

using Checked = std::expected<uint64_t, std::string_view>;

struct WitnessOutcome {
  std::optional<uint64_t> newest;                 // the newest timestamp of a line that verifies
  std::optional<std::string_view> first_failure;  // when none verifies: the reason of the first line
};

// The witness's lines are tried newest claimed timestamp first, so the first that verifies is its
// newest verifying line and settles the witness. Anyone can append lines to a note: a line whose
// blob equals one already tried (same key, key id and bytes) reuses that outcome instead of
// verifying again, so copies of one line cost a comparison each.
WitnessOutcome check_witness(const PolicyWitness& witness, const note::SignedNote& note,
                             const checkpoint::Checkpoint& checkpoint) {
  std::vector<const note::Signature*> lines;
  for (const note::Signature& line : note.signatures()) {
    if (line.key_id == witness.key.key_id && line.name == witness.key.name) lines.push_back(&line);
  }
  if (lines.empty()) return {};
  std::vector<const note::Signature*> newest_first = lines;
  // Newest first; lines with equal timestamps keep the note's order (they point into one array).
  // (std::stable_sort's temporary buffer is deprecated in C++23 under libstdc++ 12.)
  std::ranges::sort(newest_first, [](const note::Signature* a, const note::Signature* b) {
    const auto ta = claimed_timestamp(a->signature), tb = claimed_timestamp(b->signature);
    return ta != tb ? ta > tb : std::less<>{}(a, b);
  });

  std::unordered_map<std::string_view, Checked> tried;
  for (const note::Signature* line : newest_first) {
    const auto [it, fresh] = tried.try_emplace(quorvantile_crypto::as_text(line->signature), std::unexpected(""));
    if (fresh) it->second = check_cosignature(witness.key, checkpoint, note.text(), line->signature);
    if (it->second) return WitnessOutcome{*it->second, std::nullopt};
  }
  // Nothing verified, so every distinct line was tried: report the reason of the first in the note.
  return WitnessOutcome{std::nullopt, tried.at(quorvantile_crypto::as_text(lines.front()->signature)).error()};
}

}  // namespace

WitnessResult<CosignedCheckpoint> verify_cosigned(const Policy& policy, std::string_view note_text) {
  // Signed notes are UTF-8 text, and the origin and extension lines come back as record strings.
  if (!utf8::check(quorvantile_crypto::as_bytes(note_text)).valid) {
    return std::unexpected(WitnessError::library(Error::malformed_note("text is not valid UTF-8")));
  }
  const auto note = note::SignedNote::parse(note_text);
  if (!note) return std::unexpected(WitnessError::library(note.error()));
  const auto checkpoint = checkpoint::Checkpoint::parse(note->text());
  if (!checkpoint) return std::unexpected(WitnessError::library(checkpoint.error()));

  const std::vector<const PolicyLog*> logs = policy.logs_for(checkpoint->origin);
  if (logs.empty()) return std::unexpected(WitnessError::unknown_log(checkpoint->origin));
  if (auto verified = verify_log_signature(logs, *note, *checkpoint); !verified) {
    return std::unexpected(std::move(verified.error()));
  }

  CosignedCheckpoint result;
  result.checkpoint = checkpoint->to_head();
  result.log_key_name = logs.front()->key.name;
  std::vector<bool> counted(policy.witnesses.size(), false);
  for (std::size_t i = 0; i < policy.witnesses.size(); ++i) {
    const PolicyWitness& witness = policy.witnesses[i];
    const WitnessOutcome outcome = check_witness(witness, *note, *checkpoint);
    // A line that verifies outweighs any failing line from the same key: lines can be appended to
    // a note by anyone, so a bad line must not unseat a good cosignature.
    if (outcome.newest) {
      const uint64_t newest = *outcome.newest;
      counted[i] = true;
      result.counted_witnesses.push_back(witness.name);
      result.oldest_timestamp = std::min(result.oldest_timestamp.value_or(newest), newest);
      result.newest_timestamp = std::max(result.newest_timestamp.value_or(newest), newest);
    } else if (outcome.first_failure) {
      result.rejected_witnesses.push_back(RejectedWitness{witness.name, std::string(*outcome.first_failure)});
    }
  }

  if (!policy.quorum_satisfied(counted)) {
    return std::unexpected(WitnessError::quorum_not_met(policy.quorum_name(), result.counted_witnesses.size()));
  }
  return result;
}

}  // namespace quorvantile_log::witness
