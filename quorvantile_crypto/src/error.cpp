// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "quorvantile_crypto/error.hpp"

#include <utility>

namespace quorvantile_crypto {

CryptoError CryptoError::base64(std::string decoder_text) {
  return {Kind::Base64, std::move(decoder_text), 0, 0};
}

CryptoError CryptoError::invalid_length(std::size_t expected, std::size_t got) {
  return {Kind::InvalidLength, {}, expected, got};
}

CryptoError CryptoError::signature(std::string detail) { return {Kind::Signature, std::move(detail), 0, 0}; }

CryptoError CryptoError::vrf(std::string detail) { return {Kind::Vrf, std::move(detail), 0, 0}; }

std::string CryptoError::to_string() const {
  switch (kind_) {
    case Kind::Base64:
      return "base64 decode: " + detail_;
    case Kind::InvalidLength:
      return "invalid length: expected " + std::to_string(expected_) + " bytes, got " + std::to_string(got_);
    case Kind::Signature:
      return "signature: " + detail_;
    case Kind::Vrf:
      return "vrf: " + detail_;
  }
  return {};
}

}  // namespace quorvantile_crypto
