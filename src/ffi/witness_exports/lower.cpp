// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Encodings of the witness component's records: fields in declaration order.
#include "ffi/witness_exports/types.hpp"

namespace quorvantile_log::ffi {
namespace {

void write_strings(Writer& w, const std::vector<std::string>& items) {
  w.count(items.size());
  for (const auto& item : items) w.string(item);
}

template <class T>
void write_list(Writer& w, const std::vector<T>& items) {
  w.count(items.size());
  for (const auto& item : items) write(w, item);
}

void write_optional(Writer& w, const std::optional<uint64_t>& value) {
  w.u8(value ? 1 : 0);
  if (value) w.u64(*value);
}

}  // namespace

void write(Writer& w, const witness::WitnessGroup& group) {
  w.string(group.name);
  w.u64(group.threshold);
  write_strings(w, group.members);
}

void write(Writer& w, const witness::WitnessPolicy& policy) {
  write_strings(w, policy.log_key_names);
  write_strings(w, policy.witness_names);
  write_list(w, policy.groups);
  w.string(policy.quorum);
}

void write(Writer& w, const witness::RejectedWitness& rejected) {
  w.string(rejected.name);
  w.string(rejected.reason);
}

void write(Writer& w, const witness::CosignedCheckpoint& cosigned) {
  write(w, cosigned.checkpoint);
  w.string(cosigned.log_key_name);
  write_strings(w, cosigned.counted_witnesses);
  write_list(w, cosigned.rejected_witnesses);
  write_optional(w, cosigned.oldest_timestamp);
  write_optional(w, cosigned.newest_timestamp);
}

void write(Writer& w, const witness::TlogProof& proof) {
  w.u64(proof.index);
  w.u8(proof.extra ? 1 : 0);
  if (proof.extra) w.bytes(*proof.extra);
  write(w, proof.checkpoint);
}

}  // namespace quorvantile_log::ffi
