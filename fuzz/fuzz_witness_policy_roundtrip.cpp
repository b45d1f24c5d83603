// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Witness policy parsing of arbitrary bytes. A policy that parses is written back in a canonical
// order (logs, witnesses, groups, quorum) and must parse to the same description; its quorum
// holds when every witness counts, and with none counting only for "none".
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "encoding/base64.hpp"
#include "encoding/key_id_hex.hpp"
#include "note/signature_type.hpp"
#include "witness/policy.hpp"

using namespace quorvantile_log;

namespace {

std::string vkey_text(const witness::Vkey& key) {
  quorvantile_crypto::Bytes bytes{key.type};
  if (key.type == witness::kCompositeType) bytes.insert(bytes.end(), note::kCompositeLabel.begin(), note::kCompositeLabel.end());
  bytes.insert(bytes.end(), key.key.begin(), key.key.end());
  return key.name + "+" + encoding::hex8(key.key_id) + "+" + encoding::base64_encode(bytes);
}

std::string rebuilt(const witness::Policy& policy) {
  std::string out;
  for (const auto& log : policy.logs) out += "log " + vkey_text(log.key) + (log.url ? " " + *log.url : "") + "\n";
  for (const auto& w : policy.witnesses) {
    out += "witness " + w.name + " " + vkey_text(w.key) + (w.url ? " " + *w.url : "") + "\n";
  }
  const witness::WitnessPolicy described = policy.describe();
  for (const auto& g : described.groups) {
    out += "group " + g.name + " " + std::to_string(g.threshold);
    for (const auto& m : g.members) out += " " + m;
    out += "\n";
  }
  return out + "quorum " + described.quorum + "\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto policy = witness::Policy::parse(input);
  if (!policy) {
    const std::string message = policy.error().render();
    if (!message.starts_with("policy")) std::abort();
    return 0;
  }
  for (const char c : input) {
    const auto b = static_cast<uint8_t>(c);
    if (b < 0x20 ? b != 0x09 && b != 0x0A : b == 0x7F) std::abort();
  }
  for (const auto& g : policy->groups) {
    if (g.threshold == 0 || g.threshold > g.members.size()) std::abort();
  }
  const auto again = witness::Policy::parse(rebuilt(*policy));
  if (!again || again->describe() != policy->describe()) std::abort();
  const std::size_t n = policy->witnesses.size();
  if (!policy->quorum_satisfied(std::vector<bool>(n, true))) std::abort();
  if (policy->quorum_satisfied(std::vector<bool>(n, false)) != !policy->quorum.has_value()) std::abort();
  return 0;
}
