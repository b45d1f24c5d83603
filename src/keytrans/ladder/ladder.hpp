// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Binary ladders: the versions a search or monitoring proof must cover, in 64-bit arithmetic.
// Ladder steps carry 32-bit versions; ladder values are compared with them by their low 32 bits.
#include <cstdint>
#include <optional>
#include <vector>

namespace quorvantile_log::keytrans::ladder {

// 0, 1, 3, ..., 2^i - 1 up to the first value above the target, then the bisection between the
// last two until it closes. For the target 2^64 - 1 no value lies above it: the ladder is the 65
// values 2^i - 1 and has no bisection.
std::vector<uint64_t> base_binary_ladder(uint64_t target);

// The base ladder of the greatest version, or the single version 0 when the label has none.
std::vector<uint64_t> search_ladder(std::optional<uint32_t> greatest_version);

// The base ladder of the version without the entries above it, order kept.
std::vector<uint64_t> monitoring_ladder(uint32_t version);

// The comparison form of a ladder value.
inline uint32_t low32(uint64_t v) { return static_cast<uint32_t>(v); }

}  // namespace quorvantile_log::keytrans::ladder
