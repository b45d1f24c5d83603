// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Plain SHA-256 and the context-bound SHA3-512 shared across the library.
#include <initializer_list>
#include <memory>

#include "quorvantile_crypto/bytes.hpp"

struct evp_md_ctx_st;

namespace quorvantile_crypto {

// A SHA-256 context reused across many digests within one call (one allocation, algorithm
// fetched once per process).
class Sha256 {
 public:
  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  // SHA-256 of the concatenation of the parts.
  Hash32 digest(std::initializer_list<ByteView> parts);

 private:
  evp_md_ctx_st* ctx_;
};

// SHA-256 of the bytes, nothing prepended or appended.
Hash32 sha256(ByteView data);

// SHA3-512 over: the context length as an unsigned 64-bit big-endian integer, the context, the
// message. One pass over caller memory; only the 8-byte prefix is materialised.
Hash64 sha3_512_with_context(ByteView context, ByteView message);

}  // namespace quorvantile_crypto
