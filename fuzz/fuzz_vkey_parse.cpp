// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Verifier-key parsing of arbitrary bytes. A key that parses is written back in its text form
// (name, "+", the id in lowercase hex, "+", base64 of header and key) and must equal the input
// apart from the case of the id's hex digits.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "encoding/base64.hpp"
#include "note/key_id.hpp"
#include "note/name.hpp"
#include "note/signature_type.hpp"
#include "note/verifier_key.hpp"

using namespace quorvantile_log;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto key = note::VerifierKey::parse(input);
  if (!key) {
    (void)key.error().render();
    return 0;
  }
  if (!note::is_valid_name(key->name) || key->key.empty()) std::abort();

  std::vector<uint8_t> bytes;
  if (key->kind == note::SignatureType::Ed25519) {
    if (key->key.size() != 32) std::abort();
    bytes.push_back(note::kEd25519TypeByte);
  } else {
    bytes.push_back(note::kCompositeTypeByte);
    bytes.insert(bytes.end(), note::kCompositeLabel.begin(), note::kCompositeLabel.end());
  }
  bytes.insert(bytes.end(), key->key.begin(), key->key.end());
  if (note::compute_key_id(key->name, bytes) != key->key_id) std::abort();

  char id[9];
  std::snprintf(id, sizeof id, "%08x", key->key_id);
  const std::string rebuilt = key->name + "+" + id + "+" + encoding::base64_encode(bytes);
  if (rebuilt.size() != input.size()) std::abort();
  for (std::size_t i = 0; i < rebuilt.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(rebuilt[i])) != std::tolower(static_cast<unsigned char>(input[i]))) {
      std::abort();
    }
  }
  return 0;
}
