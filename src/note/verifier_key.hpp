// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Trusted verifier keys in their text form: name "+" 8-hex-digit key id "+" base64(type header ||
// key material).
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "error/error.hpp"
#include "text/text_list.hpp"
#include "note/signature_type.hpp"
#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_log::note {

struct VerifierKey {
  std::string name;
  uint32_t key_id = 0;  // equal to the id computed from name, header and key
  SignatureType kind = SignatureType::Ed25519;
  quorvantile_crypto::Bytes key;  // the key material after the type header

  static Result<VerifierKey> parse(std::string_view text);
};

// Parses each key in order and stops at the first failure.
Result<std::vector<VerifierKey>> parse_vkeys(text::TextList texts);

}  // namespace quorvantile_log::note
