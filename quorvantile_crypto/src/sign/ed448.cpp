// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "sign/ed448.hpp"


#include "openssl_util.hpp"

namespace quorvantile_crypto::ed448 {
namespace {

bool verify_with_openssl(ByteView public_key, ByteView message, ByteView signature) {
  ossl::Pkey key(EVP_PKEY_new_raw_public_key_ex(nullptr, "ED448", nullptr, public_key.data(), public_key.size()));
  if (!key) return false;
  ossl::MdCtx ctx = ossl::new_md_ctx();
  // Pure Ed448: no digest is named, and no context string is set (the empty one applies).
  if (EVP_DigestVerifyInit_ex(ctx.get(), nullptr, nullptr, nullptr, nullptr, key.get(), nullptr) != 1) return false;
  return EVP_DigestVerify(ctx.get(), signature.data(), signature.size(), message.data(), message.size()) == 1;
}

}  // namespace

bool verify(ByteView public_key, ByteView message, ByteView signature) {
  if (public_key.size() != kPublicKeySize || signature.size() != kSignatureSize) return false;
  // A rejected key or signature queues OpenSSL errors; a false result is not an error.
  const ossl::ErrorQueueMark mark;
  return verify_with_openssl(public_key, message, signature);
}

}  // namespace quorvantile_crypto::ed448
