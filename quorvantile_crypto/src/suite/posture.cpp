// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Text forms of the scheme enumerations, tag-to-level and tag-to-posture mapping, and the
// posture of a whole token as policy enforcement reads it.
#include "quorvantile_crypto/sign.hpp"
#include "suite/tags.hpp"

namespace quorvantile_crypto {
namespace {

constexpr const char* kUnknownTag = "unknown or missing signature version tag";

CryptoResult<Posture> token_posture(std::string_view token, bool is_signature) {
  auto decoded = decode_token(token);
  if (!decoded) return std::unexpected(decoded.error());
  const std::optional<tags::TagInfo> info = decoded->empty() ? std::nullopt : tags::lookup(decoded->front());
  if (!info) return std::unexpected(CryptoError::signature(kUnknownTag));
  const std::size_t expected = is_signature ? info->signature_total : info->public_key_total;
  if (decoded->size() != expected) return std::unexpected(CryptoError::invalid_length(expected, decoded->size()));
  return Posture{info->suite, info->level};
}

}  // namespace

std::string_view to_string(Suite suite) {
  switch (suite) {
    case Suite::Hybrid:
      return "Hybrid";
    case Suite::HybridMatched:
      return "HybridMatched";
    case Suite::PureCnsa2:
      return "PureCnsa2";
  }
  return {};
}

std::string_view to_string(SignatureLevel level) {
  switch (level) {
    case SignatureLevel::Cat2:
      return "Cat2";
    case SignatureLevel::Cat3:
      return "Cat3";
    case SignatureLevel::Cat5:
      return "Cat5";
  }
  return {};
}

CryptoResult<SignatureLevel> level_from_tag(ByteView decoded_token) {
  if (!decoded_token.empty()) {
    switch (decoded_token.front()) {
      case tags::kHybridCat2:
        return SignatureLevel::Cat2;
      case tags::kHybridCat3:
        return SignatureLevel::Cat3;
      case tags::kHybridCat5:
        return SignatureLevel::Cat5;
      default:
        break;
    }
  }
  return std::unexpected(CryptoError::signature(kUnknownTag));
}

std::optional<Posture> posture_from_tag(uint8_t tag) {
  const std::optional<tags::TagInfo> info = tags::lookup(tag);
  if (!info) return std::nullopt;
  return Posture{info->suite, info->level};
}

CryptoResult<Posture> signature_posture(std::string_view signature_token) { return token_posture(signature_token, true); }

CryptoResult<Posture> public_key_posture(std::string_view public_key_token) {
  return token_posture(public_key_token, false);
}

}  // namespace quorvantile_crypto
