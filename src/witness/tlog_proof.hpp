// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Proof bundles: a header line, an optional "extra" line, the leaf index, the inclusion-proof
// hashes one per line, an empty line, and the checkpoint note verbatim.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "quorvantile_crypto/bytes.hpp"
#include "witness/witness_error.hpp"

namespace quorvantile_log::witness {

inline constexpr std::string_view kTlogProofHeader = "c2sp.org/tlog-proof@v1";
inline constexpr std::size_t kMaxProofHashes = 64;

struct TlogProofBundle {
  uint64_t index = 0;
  std::optional<quorvantile_crypto::Bytes> extra;
  std::vector<quorvantile_crypto::Hash32> proof;
  std::string_view note;  // into the parsed text: everything after the empty line
};

// Parses the bundle's framing; the note is left to the note parser, so bytes after the note's
// last signature line make the note, and with it the bundle, malformed. Failures are
// MalformedProof errors naming the line.
WitnessResult<TlogProofBundle> parse_tlog_proof(std::string_view text);

}  // namespace quorvantile_log::witness
