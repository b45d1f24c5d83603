// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// CryptoError: the cryptography component's own error, with fixed text forms.
#include <cstddef>
#include <expected>
#include <string>

namespace quorvantile_crypto {

class CryptoError {
 public:
  enum class Kind { Base64, InvalidLength, Signature, Vrf };

  // The base64 decoder's own text (one of the four token-decoding texts).
  static CryptoError base64(std::string decoder_text);
  static CryptoError invalid_length(std::size_t expected, std::size_t got);
  static CryptoError signature(std::string detail);
  static CryptoError vrf(std::string detail);

  Kind kind() const { return kind_; }
  const std::string& detail() const { return detail_; }
  std::size_t expected() const { return expected_; }
  std::size_t got() const { return got_; }

  // "base64 decode: {}", "invalid length: expected {} bytes, got {}", "signature: {}", "vrf: {}".
  std::string to_string() const;

  friend bool operator==(const CryptoError&, const CryptoError&) = default;

 private:
  CryptoError(Kind kind, std::string detail, std::size_t expected, std::size_t got)
      : kind_(kind), detail_(std::move(detail)), expected_(expected), got_(got) {}

  Kind kind_;
  std::string detail_;
  std::size_t expected_ = 0;
  std::size_t got_ = 0;
};

template <class T>
using CryptoResult = std::expected<T, CryptoError>;

}  // namespace quorvantile_crypto
