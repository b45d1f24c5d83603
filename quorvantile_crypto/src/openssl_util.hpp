#pragma once
// The few OpenSSL calls the component uses, wrapped once. Algorithms are fetched once into
// immutable function-local statics (OpenSSL charges a provider look-up on every implicit fetch);
// contexts are owned by RAII handles and reused within one call.
#include <openssl/evp.h>

#include <initializer_list>
#include <memory>
#include <new>

#include "quorvantile_crypto/bytes.hpp"
#include "quorvantile_crypto/secret.hpp"

namespace quorvantile_crypto::ossl {

struct MdCtxFree {
  void operator()(EVP_MD_CTX* ctx) const { EVP_MD_CTX_free(ctx); }
};
using MdCtx = std::unique_ptr<EVP_MD_CTX, MdCtxFree>;

struct PkeyFree {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
using Pkey = std::unique_ptr<EVP_PKEY, PkeyFree>;

struct PkeyCtxFree {
  void operator()(EVP_PKEY_CTX* ctx) const { EVP_PKEY_CTX_free(ctx); }
};
using PkeyCtx = std::unique_ptr<EVP_PKEY_CTX, PkeyCtxFree>;

// Pre-fetched digests (never null: a missing default provider is an internal fault).
const EVP_MD* sha256();
const EVP_MD* sha512();
const EVP_MD* sha3_256();
const EVP_MD* sha3_512();
const EVP_MD* shake128();
const EVP_MD* shake256();

// A fresh digest context; throws std::bad_alloc when OpenSSL cannot allocate one.
MdCtx new_md_ctx();

// Thin checked wrappers: any OpenSSL failure here is an internal fault and throws.
void digest_init(EVP_MD_CTX* ctx, const EVP_MD* md);
void digest_update(EVP_MD_CTX* ctx, ByteView data);
// The parts in order, short ones first gathered into one staging block, so that a message of
// many small fields and a few long ones costs a few long updates rather than one per field.
void digest_update_gathered(EVP_MD_CTX* ctx, std::initializer_list<ByteView> parts);
void digest_final(EVP_MD_CTX* ctx, uint8_t* out);
void digest_final_xof(EVP_MD_CTX* ctx, uint8_t* out, std::size_t len);

// The thread's OpenSSL error queue belongs to the host application. Held around OpenSSL calls
// that may fail on caller input: on every exit, exceptions included, the entries they queued are
// dropped and the host's own entries stay as they were.
class ErrorQueueMark {
 public:
  ErrorQueueMark() noexcept;
  ErrorQueueMark(const ErrorQueueMark&) = delete;
  ErrorQueueMark& operator=(const ErrorQueueMark&) = delete;
  ~ErrorQueueMark();
};

}  // namespace quorvantile_crypto::ossl
