// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "note/verifier_key.hpp"

#include <cstdio>

#include "encoding/base64.hpp"
#include "encoding/key_id_hex.hpp"
#include "note/key_id.hpp"
#include "note/name.hpp"

namespace quorvantile_log::note {
namespace {

constexpr std::size_t kKeyIdDigits = 8;
constexpr std::size_t kEd25519KeyLength = 32;

Error malformed_key(std::string_view text) {
  return Error::malformed_note("malformed verifier key: " + quote(text));
}


}  // namespace

Result<VerifierKey> VerifierKey::parse(std::string_view text) {
  const std::size_t first_plus = text.find('+');
  if (first_plus == std::string_view::npos) return std::unexpected(malformed_key(text));
  const std::string_view name = text.substr(0, first_plus);
  const std::size_t second_plus = text.find('+', first_plus + 1);
  if (second_plus == std::string_view::npos || second_plus - first_plus - 1 != kKeyIdDigits) {
    return std::unexpected(malformed_key(text));
  }
  const auto declared_id =
      encoding::decode_key_id(std::span<const char, kKeyIdDigits>(text.data() + first_plus + 1, kKeyIdDigits));
  if (!declared_id) return std::unexpected(declared_id.error());

  auto key_bytes = encoding::base64_decode(text.substr(second_plus + 1));
  if (!key_bytes) return std::unexpected(std::move(key_bytes.error()));
  if (key_bytes->empty()) return std::unexpected(malformed_key(text));
  if (!is_valid_name(name)) return std::unexpected(malformed_key(text));

  const uint32_t computed_id = compute_key_id(name, *key_bytes);
  if (computed_id != *declared_id) {
    return std::unexpected(Error::malformed_note("verifier key id mismatch: declared " + encoding::hex8(*declared_id) +
                                                 ", computed " + encoding::hex8(computed_id)));
  }

  const auto detected = detect_signature_type(*key_bytes);
  if (!detected) return std::unexpected(detected.error());
  const std::size_t material_length = key_bytes->size() - detected->header_length;
  const bool material_ok = detected->type == SignatureType::Ed25519 ? material_length == kEd25519KeyLength
                                                                     : material_length > 0;
  if (!material_ok) return std::unexpected(malformed_key(text));

  VerifierKey key;
  key.name = std::string(name);
  key.key_id = computed_id;
  key.kind = detected->type;
  key.key.assign(key_bytes->begin() + static_cast<std::ptrdiff_t>(detected->header_length), key_bytes->end());
  return key;
}

Result<std::vector<VerifierKey>> parse_vkeys(text::TextList texts) {
  std::vector<VerifierKey> keys;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    auto key = VerifierKey::parse(texts[i]);
    if (!key) return std::unexpected(std::move(key.error()));
    keys.push_back(std::move(*key));
  }
  return keys;
}

}  // namespace quorvantile_log::note
