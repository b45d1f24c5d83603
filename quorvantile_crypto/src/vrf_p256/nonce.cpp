// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "vrf_p256/nonce.hpp"

#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/params.h>

#include <algorithm>
#include <array>
#include <memory>
#include <new>

#include "ct/valgrind_taint.hpp"
#include "openssl_util.hpp"
#include "quorvantile_crypto/hash.hpp"
#include "vrf_p256/scalar.hpp"

namespace quorvantile_crypto::vrf_p256 {
namespace {

const EVP_MAC* hmac_algorithm() {
  static const EVP_MAC* const mac = [] {
    EVP_MAC* fetched = EVP_MAC_fetch(nullptr, "HMAC", nullptr);
    if (fetched == nullptr) fail("HMAC unavailable");
    return fetched;
  }();
  return mac;
}

struct MacCtxFree {
  void operator()(EVP_MAC_CTX* ctx) const { EVP_MAC_CTX_free(ctx); }
};

// HMAC-SHA-256 under a key that changes as the generator runs; one context for the whole run.
class HmacSha256 {
 public:
  HmacSha256() : ctx_(EVP_MAC_CTX_new(const_cast<EVP_MAC*>(hmac_algorithm()))) {
    if (!ctx_) throw std::bad_alloc();
    char digest_name[] = "SHA256";
    const OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest_name, 0),
                                 OSSL_PARAM_construct_end()};
    check(EVP_MAC_CTX_set_params(ctx_.get(), params), "EVP_MAC_CTX_set_params");
  }

  Bytes32 mac(const Bytes32& key, std::initializer_list<ByteView> parts) {
    check(EVP_MAC_init(ctx_.get(), key.data(), key.size(), nullptr), "EVP_MAC_init");
    for (ByteView part : parts) {
      if (!part.empty()) check(EVP_MAC_update(ctx_.get(), part.data(), part.size()), "EVP_MAC_update");
    }
    Bytes32 out{};
    std::size_t written = 0;
    check(EVP_MAC_final(ctx_.get(), out.data(), &written, out.size()), "EVP_MAC_final");
    if (written != out.size()) fail("EVP_MAC_final");
    return out;
  }

 private:
  std::unique_ptr<EVP_MAC_CTX, MacCtxFree> ctx_;
};

// Wipes the listed buffers when the generator leaves, whichever way it leaves.
template <std::size_t N>
struct WipeOnExit {
  std::array<Bytes32*, N> buffers;
  ~WipeOnExit() {
    for (Bytes32* buffer : buffers) secure_wipe(buffer->data(), buffer->size());
  }
};

}  // namespace

void rfc6979_nonce(const Bytes32& x, const PointString& h, Bytes32& k_out) {
  const Curve& c = curve();
  Bytes32 h1_octets = sha256(h);
  Bytes32 v{};
  Bytes32 k{};
  WipeOnExit<3> guard{{&h1_octets, &v, &k}};

  // bits2octets: h1 has exactly qlen bits, so one conditional subtraction of n reduces it.
  // h1 is the hash of public input.
  if (!std::lexicographical_compare(h1_octets.begin(), h1_octets.end(), c.n_bytes.begin(), c.n_bytes.end())) {
    Bn h1 = bn_from_be(h1_octets);
    check(BN_sub(h1.get(), h1.get(), c.n), "BN_sub");
    bn_to_be(h1.get(), h1_octets.data(), h1_octets.size());
  }

  v.fill(0x01);
  k.fill(0x00);
  HmacSha256 hmac;
  for (uint8_t separator : {uint8_t{0x00}, uint8_t{0x01}}) {
    const uint8_t sep[1] = {separator};
    k = hmac.mac(k, {v, sep, x, h1_octets});
    v = hmac.mac(k, {v});
  }
  for (;;) {
    v = hmac.mac(k, {v});
    k_out = v;
    QV_CT_SECRET(k_out.data(), k_out.size());  // the nonce candidate
    // Only whether a candidate is accepted leaves the loop, never the candidate.
    if (((!ct_is_zero(k_out)) & ct_less_be(k_out, c.n_bytes)).declassify()) return;
    const uint8_t zero[1] = {0x00};
    k = hmac.mac(k, {v, zero});
    v = hmac.mac(k, {v});
  }
}

}  // namespace quorvantile_crypto::vrf_p256
