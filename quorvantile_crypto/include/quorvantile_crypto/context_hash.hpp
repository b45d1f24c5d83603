// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The context-bound SHA3-512 with one digest context reused for every digest of a call, for
// callers that hash many short messages (tree nodes, commitments) in a row.
#include <initializer_list>
#include <span>

#include "quorvantile_crypto/bytes.hpp"

struct evp_md_ctx_st;

namespace quorvantile_crypto {

class ContextHash {
 public:
  ContextHash();
  ~ContextHash();
  ContextHash(const ContextHash&) = delete;
  ContextHash& operator=(const ContextHash&) = delete;

  // SHA3-512 over the context length (u64 big-endian), the context and the message parts in order;
  // the same digest as sha3_512_with_context of the concatenated parts.
  void digest_into(ByteView context, std::initializer_list<ByteView> message, std::span<uint8_t, 64> out);
  Hash64 digest(ByteView context, std::initializer_list<ByteView> message);

 private:
  evp_md_ctx_st* ctx_;
};

}  // namespace quorvantile_crypto
