// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Prints the outcome of every row of a call table (argument 1) as one JSON array.
#include <fstream>
#include <iostream>

#include "call_table.hpp"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: qv_call_table CALLS.json\n";
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::cerr << "cannot open " << argv[1] << "\n";
    return 2;
  }
  const auto table = nlohmann::json::parse(in);
  nlohmann::json out = nlohmann::json::array();
  for (const auto& row : table["calls"]) out.push_back(qv_bindings::run(row));
  std::cout << out.dump() << "\n";
  return 0;
}
