#include "vrf_p256/scalar.hpp"

#include <stdexcept>

namespace quorvantile_crypto::vrf_p256 {

bool ct_less_be(ByteView a, ByteView b) {
  // Subtract b from a from the least significant byte up; a < b exactly when a borrow remains.
  unsigned borrow = 0;
  for (std::size_t i = a.size(); i-- > 0;) {
    const unsigned diff = static_cast<unsigned>(a[i]) - static_cast<unsigned>(b[i]) - borrow;
    borrow = (diff >> 8) & 1U;
  }
  return borrow == 1;
}

bool ct_is_zero(ByteView bytes) {
  unsigned acc = 0;
  for (uint8_t byte : bytes) acc |= byte;
  return ((acc - 1U) >> 8) & 1U;
}

void ct_select(Bytes32& target, const Bytes32& alternative, bool condition) {
  const uint8_t mask = static_cast<uint8_t>(0U - static_cast<unsigned>(condition));
  for (std::size_t i = 0; i < target.size(); ++i) {
    target[i] = static_cast<uint8_t>(target[i] ^ (mask & (target[i] ^ alternative[i])));
  }
}

CryptoResult<Bn> secret_scalar(ByteView secret) {
  if (secret.size() != kScalarSize) return std::unexpected(CryptoError::invalid_length(kScalarSize, secret.size()));
  if (!ct_less_be(secret, curve().n_bytes)) {
    return std::unexpected(CryptoError::vrf("secret key is not a canonical P-256 scalar"));
  }
  if (ct_is_zero(secret)) return std::unexpected(CryptoError::vrf("secret key scalar is zero"));
  return secret_bn_from_be(secret);
}

Bn scalar_from_challenge(const Challenge& c) {
  Bn scalar = bn_from_be(c);
  if (BN_cmp(scalar.get(), curve().n) >= 0) {
    throw std::runtime_error("a 16-byte big-endian value is always a canonical P-256 scalar");
  }
  return scalar;
}

}  // namespace quorvantile_crypto::vrf_p256
