// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The output stream of one SHAKE evaluation, read front to back. OpenSSL 3.0 finalises an XOF
// context only once, so the expected amount is squeezed up front into the caller's buffer; a
// reader that runs past it asks for more and the output is recomputed at twice the length (the
// prefix is unchanged, so positions already read stay valid). Inputs that need the extension are
// rare and would cost an attacker a search over seeds; they are handled, not assumed away.
#include <openssl/evp.h>

#include <span>
#include <vector>

#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_crypto::mldsa::detail {

class XofOutput {
 public:
  // Absorbs seed then suffix and squeezes initial.size() bytes into initial.
  XofOutput(EVP_MD_CTX* ctx, const EVP_MD* md, ByteView seed, ByteView suffix, std::span<uint8_t> initial);
  XofOutput(const XofOutput&) = delete;
  XofOutput& operator=(const XofOutput&) = delete;

  const uint8_t* data() const { return current_.data(); }
  std::size_t size() const { return current_.size(); }

  // Doubles the available output.
  void extend();

 private:
  void squeeze(std::span<uint8_t> out);

  EVP_MD_CTX* ctx_;
  const EVP_MD* md_;
  ByteView seed_;
  ByteView suffix_;
  std::span<uint8_t> current_;
  std::vector<uint8_t> extended_;
};

}  // namespace quorvantile_crypto::mldsa::detail
