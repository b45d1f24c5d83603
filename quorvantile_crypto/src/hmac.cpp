// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "quorvantile_crypto/hmac.hpp"

#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/err.h>
#include <openssl/params.h>

#include <memory>
#include <new>
#include <stdexcept>

namespace quorvantile_crypto {
namespace {

EVP_MAC* hmac() {
  static EVP_MAC* const mac = [] {
    EVP_MAC* fetched = EVP_MAC_fetch(nullptr, "HMAC", nullptr);
    if (fetched == nullptr) throw std::runtime_error("mac unavailable: HMAC");
    return fetched;
  }();
  return mac;
}

struct MacCtxFree {
  void operator()(EVP_MAC_CTX* ctx) const { EVP_MAC_CTX_free(ctx); }
};

// Restores the thread's OpenSSL error queue to what it held before the computation.
struct ErrorQueueMark {
  ErrorQueueMark() { ERR_set_mark(); }
  ~ErrorQueueMark() { ERR_pop_to_mark(); }
  ErrorQueueMark(const ErrorQueueMark&) = delete;
  ErrorQueueMark& operator=(const ErrorQueueMark&) = delete;
};

[[noreturn]] void fail(const char* what) { throw std::runtime_error(what); }

}  // namespace

Hash32 hmac_sha256(ByteView key, std::initializer_list<ByteView> message) {
  ErrorQueueMark mark;
  std::unique_ptr<EVP_MAC_CTX, MacCtxFree> ctx(EVP_MAC_CTX_new(hmac()));
  if (!ctx) throw std::bad_alloc();
  char digest_name[] = "SHA256";
  const OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest_name, 0),
                               OSSL_PARAM_construct_end()};
  // A zero-length key needs a valid pointer; HMAC pads any key to the block with zero bytes.
  static const uint8_t kNoKey = 0;
  if (EVP_MAC_init(ctx.get(), key.empty() ? &kNoKey : key.data(), key.size(), params) != 1) fail("EVP_MAC_init failed");
  for (ByteView part : message) {
    if (!part.empty() && EVP_MAC_update(ctx.get(), part.data(), part.size()) != 1) fail("EVP_MAC_update failed");
  }
  Hash32 out{};
  std::size_t written = 0;
  if (EVP_MAC_final(ctx.get(), out.data(), &written, out.size()) != 1 || written != out.size()) {
    fail("EVP_MAC_final failed");
  }
  return out;
}

}  // namespace quorvantile_crypto
