#include "openssl_util.hpp"

#include <openssl/crypto.h>
#include <openssl/err.h>

#include <array>
#include <cstring>
#include <stdexcept>

namespace quorvantile_crypto::ossl {
namespace {

const EVP_MD* fetch(const char* name) {
  EVP_MD* md = EVP_MD_fetch(nullptr, name, nullptr);
  if (md == nullptr) throw std::runtime_error(std::string("digest unavailable: ") + name);
  return md;
}

[[noreturn]] void fail(const char* what) { throw std::runtime_error(what); }

}  // namespace

const EVP_MD* sha256() {
  static const EVP_MD* const md = fetch("SHA256");
  return md;
}
const EVP_MD* sha512() {
  static const EVP_MD* const md = fetch("SHA512");
  return md;
}
const EVP_MD* sha3_256() {
  static const EVP_MD* const md = fetch("SHA3-256");
  return md;
}
const EVP_MD* sha3_512() {
  static const EVP_MD* const md = fetch("SHA3-512");
  return md;
}
const EVP_MD* shake128() {
  static const EVP_MD* const md = fetch("SHAKE128");
  return md;
}
const EVP_MD* shake256() {
  static const EVP_MD* const md = fetch("SHAKE256");
  return md;
}

MdCtx new_md_ctx() {
  MdCtx ctx(EVP_MD_CTX_new());
  if (!ctx) throw std::bad_alloc();
  return ctx;
}

void digest_init(EVP_MD_CTX* ctx, const EVP_MD* md) {
  if (EVP_DigestInit_ex2(ctx, md, nullptr) != 1) fail("EVP_DigestInit_ex2 failed");
}

void digest_update(EVP_MD_CTX* ctx, ByteView data) {
  if (data.empty()) return;
  if (EVP_DigestUpdate(ctx, data.data(), data.size()) != 1) fail("EVP_DigestUpdate failed");
}

void digest_update_gathered(EVP_MD_CTX* ctx, std::initializer_list<ByteView> parts) {
  std::array<uint8_t, 256> staging;
  std::size_t staged = 0;
  for (ByteView part : parts) {
    if (part.size() > staging.size() - staged) {
      digest_update(ctx, ByteView(staging.data(), staged));
      staged = 0;
      if (part.size() > staging.size()) {
        digest_update(ctx, part);
        continue;
      }
    }
    if (!part.empty()) std::memcpy(staging.data() + staged, part.data(), part.size());
    staged += part.size();
  }
  digest_update(ctx, ByteView(staging.data(), staged));
}

void digest_final(EVP_MD_CTX* ctx, uint8_t* out) {
  if (EVP_DigestFinal_ex(ctx, out, nullptr) != 1) fail("EVP_DigestFinal_ex failed");
}

void digest_final_xof(EVP_MD_CTX* ctx, uint8_t* out, std::size_t len) {
  if (EVP_DigestFinalXOF(ctx, out, len) != 1) fail("EVP_DigestFinalXOF failed");
}

// With an empty queue ERR_set_mark sets no mark and ERR_pop_to_mark then clears the whole queue,
// which again restores what was there: nothing.
ErrorQueueMark::ErrorQueueMark() noexcept { ERR_set_mark(); }
ErrorQueueMark::~ErrorQueueMark() { ERR_pop_to_mark(); }

}  // namespace quorvantile_crypto::ossl
