// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The matrix-expansion paths this CPU can run, for tests that check every path gives the same
// answer: OpenSSL's one lane, four portable lanes, and four AVX2 lanes where available.
#include <string>
#include <vector>

#include "keccak/keccak.hpp"
#include "mldsa/expansion.hpp"

namespace qv_test {

inline std::vector<quorvantile_crypto::mldsa::detail::Expansion> mldsa_paths() {
  using quorvantile_crypto::mldsa::detail::Expansion;
  std::vector<Expansion> paths{Expansion::OneLane, Expansion::FourLanesPortable};
  if (quorvantile_crypto::keccak::avx2_available()) paths.push_back(Expansion::FourLanesAvx2);
  return paths;
}

inline std::string path_name(quorvantile_crypto::mldsa::detail::Expansion path) {
  using quorvantile_crypto::mldsa::detail::Expansion;
  switch (path) {
    case Expansion::OneLane: return "one lane";
    case Expansion::FourLanesPortable: return "four portable lanes";
    case Expansion::FourLanesAvx2: return "four AVX2 lanes";
  }
  return "?";
}

}  // namespace qv_test
