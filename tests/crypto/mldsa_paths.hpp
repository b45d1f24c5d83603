#pragma once
// The matrix-expansion paths this CPU can run, for tests that check every path gives the same
// answer: OpenSSL's one lane, four portable lanes, four AVX2 lanes and eight AVX-512 lanes where
// available; and the names of those it cannot run, for the tests to report.
#include <string>
#include <vector>

#include "keccak/keccak.hpp"
#include "mldsa/expansion.hpp"

namespace qv_test {

inline constexpr quorvantile_crypto::mldsa::detail::Expansion kAllMlDsaPaths[] = {
    quorvantile_crypto::mldsa::detail::Expansion::OneLane, quorvantile_crypto::mldsa::detail::Expansion::FourLanesPortable,
    quorvantile_crypto::mldsa::detail::Expansion::FourLanesAvx2, quorvantile_crypto::mldsa::detail::Expansion::EightLanesAvx512};

inline std::vector<quorvantile_crypto::mldsa::detail::Expansion> mldsa_paths() {
  std::vector<quorvantile_crypto::mldsa::detail::Expansion> paths;
  for (const auto path : kAllMlDsaPaths) {
    if (quorvantile_crypto::mldsa::detail::expansion_available(path)) paths.push_back(path);
  }
  return paths;
}

inline std::string path_name(quorvantile_crypto::mldsa::detail::Expansion path) {
  using quorvantile_crypto::mldsa::detail::Expansion;
  switch (path) {
    case Expansion::OneLane: return "one lane";
    case Expansion::FourLanesPortable: return "four portable lanes";
    case Expansion::FourLanesAvx2: return "four AVX2 lanes";
    case Expansion::EightLanesAvx512: return "eight AVX-512 lanes";
  }
  return "?";
}

// "four AVX2 lanes, eight AVX-512 lanes" for the paths this CPU cannot run; empty if none.
inline std::string missing_mldsa_paths() {
  std::string out;
  for (const auto path : kAllMlDsaPaths) {
    if (!quorvantile_crypto::mldsa::detail::expansion_available(path)) out += (out.empty() ? "" : ", ") + path_name(path);
  }
  return out;
}

}  // namespace qv_test
