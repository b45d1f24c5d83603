// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The key-transparency suite and its value commitment.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "error/error.hpp"
#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_log {

class KtSuite {
 public:
  enum Value : uint8_t { QuorvantileHybridExp, Kt128Sha256P256, Kt128Sha256Ed25519 };

  constexpr KtSuite(Value value) : value_(value) {}  // NOLINT: a suite is its value

  constexpr Value value() const { return value_; }
  // The text form used in messages: the variant's name.
  std::string_view name() const;
  // 32 bytes for the experimental suite, 16 for the two others.
  std::size_t opening_size() const;
  // 64 bytes for the experimental suite, 32 for the two others.
  std::size_t commitment_size() const;

  // The suite commitment of (label, version, update value) under the opening. The experimental
  // suite hashes SHA3-512 with `context` over opening || encoded value; the two others compute
  // HMAC-SHA-256 under the fixed commitment key over opening || encoded value and ignore
  // `context`. Fails (MalformedKeytrans) on a wrong opening length, a label over 255 bytes or a
  // value of 2^32 bytes or more.
  Result<quorvantile_crypto::Bytes> commit(std::string_view context, quorvantile_crypto::ByteView label,
                                           uint32_t version, quorvantile_crypto::ByteView update_value,
                                           quorvantile_crypto::ByteView opening) const;

  friend constexpr bool operator==(KtSuite, KtSuite) = default;

 private:
  Value value_;
};

}  // namespace quorvantile_log
