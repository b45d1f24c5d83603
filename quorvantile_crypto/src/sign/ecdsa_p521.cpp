// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "sign/ecdsa_p521.hpp"

#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/ec.h>
#include <openssl/params.h>

#include <algorithm>
#include <array>
#include <memory>

#include "openssl_util.hpp"

namespace quorvantile_crypto::ecdsa_p521 {
namespace {

// The group order n, big-endian, padded to the scalar width.
constexpr std::array<uint8_t, kScalarSize> kOrder{
    0x01, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
    0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xfa,
    0x51, 0x86, 0x87, 0x83, 0xbf, 0x2f, 0x96, 0x6b, 0x7f, 0xcc, 0x01, 0x48, 0xf7, 0x09, 0xa5, 0xd0, 0x3b,
    0xb5, 0xc9, 0xb8, 0x89, 0x9c, 0x47, 0xae, 0xbb, 0x6f, 0xb7, 0x1e, 0x91, 0x38, 0x64, 0x09};

// 1 <= scalar <= n - 1, on the fixed-width big-endian encoding.
bool in_scalar_range(ByteView scalar) {
  const bool is_zero = std::all_of(scalar.begin(), scalar.end(), [](uint8_t b) { return b == 0; });
  return !is_zero && std::lexicographical_compare(scalar.begin(), scalar.end(), kOrder.begin(), kOrder.end());
}

struct SigFree {
  void operator()(ECDSA_SIG* sig) const { ECDSA_SIG_free(sig); }
};

// Builds the key from its uncompressed encoding; OpenSSL rejects coordinates outside the field
// and points not on the curve while importing.
ossl::Pkey import_public_key(ByteView encoded) {
  ossl::PkeyCtx ctx(EVP_PKEY_CTX_new_from_name(nullptr, "EC", nullptr));
  if (!ctx || EVP_PKEY_fromdata_init(ctx.get()) != 1) return nullptr;
  char group[] = "P-521";
  const OSSL_PARAM params[] = {
      OSSL_PARAM_construct_utf8_string(OSSL_PKEY_PARAM_GROUP_NAME, group, 0),
      OSSL_PARAM_construct_octet_string(OSSL_PKEY_PARAM_PUB_KEY, const_cast<uint8_t*>(encoded.data()), encoded.size()),
      OSSL_PARAM_construct_end(),
  };
  EVP_PKEY* key = nullptr;
  if (EVP_PKEY_fromdata(ctx.get(), &key, EVP_PKEY_PUBLIC_KEY, const_cast<OSSL_PARAM*>(params)) != 1) return nullptr;
  return ossl::Pkey(key);
}

// DER encoding of (r, s) for the EVP verifier; empty on failure.
Bytes der_signature(ByteView r, ByteView s) {
  std::unique_ptr<ECDSA_SIG, SigFree> sig(ECDSA_SIG_new());
  if (!sig) return {};
  BIGNUM* r_bn = BN_bin2bn(r.data(), static_cast<int>(r.size()), nullptr);
  BIGNUM* s_bn = BN_bin2bn(s.data(), static_cast<int>(s.size()), nullptr);
  if (r_bn == nullptr || s_bn == nullptr || ECDSA_SIG_set0(sig.get(), r_bn, s_bn) != 1) {
    BN_free(r_bn);
    BN_free(s_bn);
    return {};
  }
  const int len = i2d_ECDSA_SIG(sig.get(), nullptr);
  if (len <= 0) return {};
  Bytes der(static_cast<std::size_t>(len));
  uint8_t* cursor = der.data();
  if (i2d_ECDSA_SIG(sig.get(), &cursor) != len) return {};
  return der;
}

bool verify_with_openssl(ByteView public_key, ByteView message, ByteView r, ByteView s) {
  ossl::Pkey key = import_public_key(public_key);
  if (!key) return false;
  const Bytes der = der_signature(r, s);
  if (der.empty()) return false;
  ossl::MdCtx ctx = ossl::new_md_ctx();
  // The digest is the pre-fetched one; OpenSSL 3.0 offers no way to pre-fetch the key management
  // and signature algorithms it looks up for the key, so those remain per call.
  if (EVP_DigestVerifyInit(ctx.get(), nullptr, ossl::sha512(), nullptr, key.get()) != 1) return false;
  return EVP_DigestVerify(ctx.get(), der.data(), der.size(), message.data(), message.size()) == 1;
}

}  // namespace

bool verify(ByteView public_key, ByteView message, ByteView signature) {
  if (public_key.size() != kPublicKeySize || signature.size() != kSignatureSize) return false;
  // Only the uncompressed form; OpenSSL would also take the hybrid forms 0x06 / 0x07.
  if (public_key[0] != 0x04) return false;
  const ByteView r = signature.first(kScalarSize);
  const ByteView s = signature.subspan(kScalarSize);
  if (!in_scalar_range(r) || !in_scalar_range(s)) return false;
  // A rejected key or signature queues OpenSSL errors; a false result is not an error.
  const ossl::ErrorQueueMark mark;
  return verify_with_openssl(public_key, message, r, s);
}

}  // namespace quorvantile_crypto::ecdsa_p521
