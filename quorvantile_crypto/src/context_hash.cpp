#include "quorvantile_crypto/context_hash.hpp"

#include "openssl_util.hpp"

namespace quorvantile_crypto {

ContextHash::ContextHash() : ctx_(ossl::new_md_ctx().release()) {}

ContextHash::~ContextHash() { EVP_MD_CTX_free(ctx_); }

void ContextHash::digest_into(ByteView context, std::initializer_list<ByteView> message, std::span<uint8_t, 64> out) {
  std::array<uint8_t, 8> prefix{};
  uint64_t len = context.size();
  for (std::size_t i = prefix.size(); i-- > 0; len >>= 8) prefix[i] = static_cast<uint8_t>(len);
  ossl::digest_init(ctx_, ossl::sha3_512());
  ossl::digest_update_gathered(ctx_, {prefix, context});
  ossl::digest_update_gathered(ctx_, message);
  ossl::digest_final(ctx_, out.data());
}

Hash64 ContextHash::digest(ByteView context, std::initializer_list<ByteView> message) {
  Hash64 out{};
  digest_into(context, message, out);
  return out;
}

}  // namespace quorvantile_crypto
