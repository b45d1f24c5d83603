// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Shared helpers of the witness tests: the vector files and small policy builders.
#include <string>
#include <string_view>

#include "test_support.hpp"
#include "witness/records.hpp"

namespace quorvantile_log::witness {
inline void PrintTo(const RejectedWitness& r, std::ostream* os) { *os << "{" << r.name << ": " << r.reason << "}"; }
}  // namespace quorvantile_log::witness

namespace qv_witness_test {

inline nlohmann::json vectors(std::string_view file) {
  return qv_test::read_json(qv_test::vectors_dir() / "c2sp-witness" / file);
}

inline std::string vector_text(std::string_view file) {
  return qv_test::read_file(qv_test::vectors_dir() / "c2sp-witness" / file);
}

inline std::string data_text(std::string_view file) {
  return qv_test::read_file(qv_test::data_dir() / "witness" / file);
}

// "log <vkey>" followed by one "witness <name> <vkey>" line per pair and the quorum line.
inline std::string policy_text(std::string_view log_vkey,
                               std::initializer_list<std::pair<std::string_view, std::string_view>> witnesses,
                               std::string_view quorum = "none") {
  std::string out = "log " + std::string(log_vkey) + "\n";
  for (const auto& [name, vkey] : witnesses) out += "witness " + std::string(name) + " " + std::string(vkey) + "\n";
  return out + "quorum " + std::string(quorum) + "\n";
}

}  // namespace qv_witness_test
