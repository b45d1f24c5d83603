// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Compiled, never run, by the CppHeader* compile tests: with C++23 every discarded result must be
// diagnosed; below C++23 both headers must stop with their #error.
#include <cstdint>
#include <vector>

#include "quorvantile_log.hpp"
#include "quorvantile_witness.hpp"

void discard_results() {
  const std::vector<uint8_t> hash(32, 0);
  quorvantile_log::verify_inclusion(0, 1, hash, std::vector<std::vector<uint8_t>>{}, hash);
  quorvantile_witness::witness_policy_parse("quorum none\n");
}
