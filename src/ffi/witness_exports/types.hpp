// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Result descriptors of the witness component's records, and their encodings.
#include "ffi/lower.hpp"
#include "ffi/types.hpp"
#include "witness/records.hpp"

namespace quorvantile_log::ffi {

void write(Writer& w, const witness::WitnessGroup& group);
void write(Writer& w, const witness::WitnessPolicy& policy);
void write(Writer& w, const witness::RejectedWitness& rejected);
void write(Writer& w, const witness::CosignedCheckpoint& cosigned);
void write(Writer& w, const witness::TlogProof& proof);

}  // namespace quorvantile_log::ffi

namespace quorvantile_log::ffi::types {

struct WitnessPolicyResult : RecordResult<witness::WitnessPolicy> {
  static constexpr meta::Buf meta(std::string_view module) { return meta::record_type(module, "WitnessPolicy"); }
};
struct CosignedCheckpointResult : RecordResult<witness::CosignedCheckpoint> {
  static constexpr meta::Buf meta(std::string_view module) { return meta::record_type(module, "CosignedCheckpoint"); }
};
struct TlogProofResult : RecordResult<witness::TlogProof> {
  static constexpr meta::Buf meta(std::string_view module) { return meta::record_type(module, "TlogProof"); }
};

}  // namespace quorvantile_log::ffi::types
