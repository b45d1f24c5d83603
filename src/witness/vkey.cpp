// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "witness/vkey.hpp"

#include <cstdio>

#include "encoding/base64.hpp"
#include "encoding/key_id_hex.hpp"
#include "note/key_id.hpp"
#include "note/name.hpp"
#include "note/signature_type.hpp"
#include "text/utf8.hpp"

namespace quorvantile_log::witness {
namespace {

constexpr std::size_t kKeyIdDigits = 8;

std::string type_hex(uint8_t type) {
  char hex[5];
  std::snprintf(hex, sizeof hex, "0x%02x", type);
  return hex;
}

std::string length_rule(uint8_t type, std::size_t got, std::size_t want) {
  return "key of type " + type_hex(type) + " has " + std::to_string(got) + " bytes, want " + std::to_string(want);
}

}  // namespace

std::expected<EncodedVkey, std::string> decode_vkey(std::string_view text) {
  const std::string malformed = "malformed verifier key";
  const std::size_t first_plus = text.find('+');
  if (first_plus == std::string_view::npos) return std::unexpected(malformed);
  const std::string_view name = text.substr(0, first_plus);
  const std::size_t second_plus = text.find('+', first_plus + 1);
  if (second_plus == std::string_view::npos || second_plus - first_plus - 1 != kKeyIdDigits) {
    return std::unexpected(malformed);
  }
  const auto declared_id =
      encoding::decode_key_id(std::span<const char, kKeyIdDigits>(text.data() + first_plus + 1, kKeyIdDigits));
  if (!declared_id) return std::unexpected(malformed);
  auto key_bytes = encoding::base64_decode(text.substr(second_plus + 1));
  if (!key_bytes || key_bytes->empty()) return std::unexpected(malformed);
  if (!utf8::check(quorvantile_crypto::as_bytes(name)).valid) return std::unexpected("name is not valid UTF-8");
  if (!note::is_valid_name(name)) return std::unexpected(malformed);
  return EncodedVkey{name, *declared_id, std::move(*key_bytes)};
}

std::expected<Vkey, std::string> complete_vkey(const EncodedVkey& encoded) {
  const quorvantile_crypto::Bytes& bytes = encoded.bytes;
  std::size_t header = 1;
  switch (encoded.type()) {
    case kEd25519NoteType:
    case kEd25519CosignatureType:
    case kMlDsa44CosignatureType:
    case kCompositeType:
      break;
    default:
      return std::unexpected("unsupported key type " + type_hex(encoded.type()));
  }
  const uint32_t computed_id = note::compute_key_id(encoded.name, bytes);
  if (computed_id != encoded.declared_id) {
    return std::unexpected("verifier key id mismatch: declared " + encoding::hex8(encoded.declared_id) +
                           ", computed " + encoding::hex8(computed_id));
  }
  const std::size_t material = bytes.size() - 1;
  switch (encoded.type()) {
    case kEd25519NoteType:
    case kEd25519CosignatureType:
      if (material != kEd25519KeyLength) return std::unexpected(length_rule(encoded.type(), material, kEd25519KeyLength));
      break;
    case kMlDsa44CosignatureType:
      if (material != kMlDsa44KeyLength) return std::unexpected(length_rule(encoded.type(), material, kMlDsa44KeyLength));
      break;
    default: {
      // The composite header is the type byte and the composite label; a framed key follows.
      const auto detected = note::detect_signature_type(bytes);
      if (!detected || detected->type != note::SignatureType::Composite) {
        return std::unexpected(std::string("key of type 0xff does not carry the composite label"));
      }
      header = detected->header_length;
      if (bytes.size() == header) return std::unexpected(std::string("key of type 0xff has no key material"));
      break;
    }
  }
  Vkey key;
  key.name = std::string(encoded.name);
  key.key_id = computed_id;
  key.type = encoded.type();
  key.key.assign(bytes.begin() + static_cast<std::ptrdiff_t>(header), bytes.end());
  return key;
}

note::VerifierKey to_note_key(const Vkey& key) {
  note::VerifierKey out;
  out.name = key.name;
  out.key_id = key.key_id;
  out.kind = key.type == kCompositeType ? note::SignatureType::Composite : note::SignatureType::Ed25519;
  out.key = key.key;
  return out;
}

}  // namespace quorvantile_log::witness
