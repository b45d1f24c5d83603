#pragma once
// Envelopes for the enforcement targets: the generated signed policies (valid and deliberately
// invalid), read once from the repository's fixtures.
#include <cstdint>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace qv_fuzz {

inline std::vector<uint8_t> from_hex(const std::string& hex) {
  std::vector<uint8_t> out(hex.size() / 2);
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = static_cast<uint8_t>(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
  return out;
}

inline const std::vector<std::vector<uint8_t>>& policy_envelopes() {
  static const std::vector<std::vector<uint8_t>> all = [] {
    std::ifstream in(std::string(QV_TEST_DATA_DIR) + "/policy/policies.json");
    const auto doc = nlohmann::json::parse(in);
    std::vector<std::vector<uint8_t>> out;
    for (const auto& c : doc["cases"]) out.push_back(from_hex(c["envelope"].get<std::string>()));
    return out;
  }();
  return all;
}

// The first input byte picks an envelope; the rest is the observed value.
inline const std::vector<uint8_t>& pick_envelope(const uint8_t*& data, std::size_t& size) {
  const auto& all = policy_envelopes();
  std::size_t i = 0;
  if (size > 0) {
    i = data[0] % all.size();
    ++data;
    --size;
  }
  return all[i];
}

}  // namespace qv_fuzz
