// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "mldsa/xof_output.hpp"

#include "openssl_util.hpp"

namespace quorvantile_crypto::mldsa::detail {

XofOutput::XofOutput(EVP_MD_CTX* ctx, const EVP_MD* md, ByteView seed, ByteView suffix, std::span<uint8_t> initial)
    : ctx_(ctx), md_(md), seed_(seed), suffix_(suffix), current_(initial) {
  squeeze(current_);
}

void XofOutput::extend() {
  extended_.resize(current_.empty() ? 1 : 2 * current_.size());
  current_ = extended_;
  squeeze(current_);
}

void XofOutput::squeeze(std::span<uint8_t> out) {
  ossl::digest_init(ctx_, md_);
  ossl::digest_update(ctx_, seed_);
  ossl::digest_update(ctx_, suffix_);
  ossl::digest_final_xof(ctx_, out.data(), out.size());
}

}  // namespace quorvantile_crypto::mldsa::detail
