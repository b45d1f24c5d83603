// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The witness component's values as they cross the C boundary: a parsed quorum policy, the
// outcome of verifying a cosigned checkpoint, and a verified proof bundle.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "quorvantile_crypto/bytes.hpp"
#include "types/records.hpp"

namespace quorvantile_log::witness {

// A k-of-n group. `threshold` is the resolved k: `any` is 1, `all` is the number of members.
struct WitnessGroup {
  std::string name;
  uint64_t threshold = 0;
  std::vector<std::string> members;  // witness or earlier group names, in file order
  friend bool operator==(const WitnessGroup&, const WitnessGroup&) = default;
};

struct WitnessPolicy {
  std::vector<std::string> log_key_names;  // key names of the log vkeys, file order
  std::vector<std::string> witness_names;  // policy-local witness names, file order
  std::vector<WitnessGroup> groups;        // file order
  std::string quorum;                      // a witness, a group, or "none"
  friend bool operator==(const WitnessPolicy&, const WitnessPolicy&) = default;
};

// A configured witness whose cosignature lines were present but none of them counted.
struct RejectedWitness {
  std::string name;    // policy-local name
  std::string reason;  // one of the fixed lower-case reasons in cosignature.hpp
  friend bool operator==(const RejectedWitness&, const RejectedWitness&) = default;
};

struct CosignedCheckpoint {
  CheckpointHead checkpoint;
  std::string log_key_name;
  std::vector<std::string> counted_witnesses;  // policy order
  std::vector<RejectedWitness> rejected_witnesses;  // policy order
  // Over the counted witnesses, each taken at its newest valid cosignature; absent when none
  // counted.
  std::optional<uint64_t> oldest_timestamp;
  std::optional<uint64_t> newest_timestamp;
  friend bool operator==(const CosignedCheckpoint&, const CosignedCheckpoint&) = default;
};

struct TlogProof {
  uint64_t index = 0;
  std::optional<quorvantile_crypto::Bytes> extra;  // unauthenticated; present iff the bundle has an extra line
  CosignedCheckpoint checkpoint;
  friend bool operator==(const TlogProof&, const TlogProof&) = default;
};

}  // namespace quorvantile_log::witness
