// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Framed multi-algorithm signature verification: version-tagged hybrid (Ed25519, Ed448 or
// ECDSA P-521 paired with ML-DSA) and pure ML-DSA-87 signatures over a context-framed message.
#include <optional>
#include <string_view>
#include <utility>

#include "quorvantile_crypto/bytes.hpp"
#include "quorvantile_crypto/error.hpp"

namespace quorvantile_crypto {

enum class Suite { Hybrid, HybridMatched, PureCnsa2 };
enum class SignatureLevel { Cat2, Cat3, Cat5 };

// Text forms, used in posture messages: "Hybrid", "Cat3", ...
std::string_view to_string(Suite suite);
std::string_view to_string(SignatureLevel level);

using Posture = std::pair<Suite, SignatureLevel>;

// u64 big-endian length of the context, the context, the message.
Bytes frame(ByteView context, ByteView message);

// True only if every component verifies; false for scheme or length mismatches and failed
// components; an error only for undecodable tokens and unknown level tags.
CryptoResult<bool> verify(ByteView message, ByteView context, std::string_view signature_token,
                          std::string_view public_key_token);

// The same verification on the decoded bytes of a signature and a public key (what the tokens
// carry): the errors are those of the tags alone.
CryptoResult<bool> verify_decoded(ByteView message, ByteView context, ByteView signature, ByteView public_key);

CryptoResult<SignatureLevel> level_from_tag(ByteView decoded_token);
std::optional<Posture> posture_from_tag(uint8_t tag);
CryptoResult<Posture> signature_posture(std::string_view signature_token);
CryptoResult<Posture> public_key_posture(std::string_view public_key_token);

// Standard base64 token decoding (padding required and canonical, no whitespace); failures carry
// the decoder's own texts ("Invalid symbol {}, offset {}.", "Invalid input length: {}",
// "Invalid last symbol {}, offset {}.", "Invalid padding").
CryptoResult<Bytes> decode_token(std::string_view token);

}  // namespace quorvantile_crypto
