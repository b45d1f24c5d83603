#include "quorvantile_crypto/hash.hpp"

#include "openssl_util.hpp"

namespace quorvantile_crypto {

Sha256::Sha256() : ctx_(ossl::new_md_ctx().release()) {}

Sha256::~Sha256() { EVP_MD_CTX_free(ctx_); }

Hash32 Sha256::digest(std::initializer_list<ByteView> parts) {
  Hash32 out{};
  ossl::digest_init(ctx_, ossl::sha256());
  ossl::digest_update_gathered(ctx_, parts);
  ossl::digest_final(ctx_, out.data());
  return out;
}

Hash32 sha256(ByteView data) {
  Hash32 out{};
  auto ctx = ossl::new_md_ctx();
  ossl::digest_init(ctx.get(), ossl::sha256());
  ossl::digest_update(ctx.get(), data);
  ossl::digest_final(ctx.get(), out.data());
  return out;
}

Hash64 sha3_512_with_context(ByteView context, ByteView message) {
  std::array<uint8_t, 8> prefix{};
  uint64_t len = context.size();
  for (int i = 7; i >= 0; --i, len >>= 8) prefix[static_cast<std::size_t>(i)] = static_cast<uint8_t>(len);
  Hash64 out{};
  auto ctx = ossl::new_md_ctx();
  ossl::digest_init(ctx.get(), ossl::sha3_512());
  ossl::digest_update(ctx.get(), prefix);
  ossl::digest_update(ctx.get(), context);
  ossl::digest_update(ctx.get(), message);
  ossl::digest_final(ctx.get(), out.data());
  return out;
}

}  // namespace quorvantile_crypto
