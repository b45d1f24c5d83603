#pragma once
// ECVRF-P256-SHA256-TAI (RFC 9381, suite string 0x01), nonces by RFC 6979 with HMAC-SHA-256.
// Secret keys are 32-byte big-endian scalars in [1, n-1]; public keys and Gamma are 33-byte SEC1
// compressed points (the compact form 0x05 || x is also accepted on input); proofs are 81 bytes
// Gamma || c (16) || s (32); beta is 32 bytes.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "quorvantile_crypto/bytes.hpp"
#include "quorvantile_crypto/error.hpp"

namespace quorvantile_crypto::vrf_p256 {

inline constexpr uint8_t kSuiteString = 0x01;
inline constexpr std::size_t kSecretKeySize = 32;
inline constexpr std::size_t kPublicKeySize = 33;
inline constexpr std::size_t kProofSize = 81;

using PublicKey = std::array<uint8_t, kPublicKeySize>;
using Proof = std::array<uint8_t, kProofSize>;

// Y = x*G as a point string. Fails for a secret that is not 32 bytes, not below n, or zero.
CryptoResult<PublicKey> ecvrf_p256_public_key(ByteView secret_key);

// The proof for alpha under the secret key. Secrets are wiped before return on every path.
CryptoResult<Proof> prove(ByteView secret_key, ByteView alpha);

// An error only for a public key that is not 33 bytes or a proof that is not 81 bytes; otherwise
// beta when the proof verifies (key validation always on), nothing when it does not.
CryptoResult<std::optional<Hash32>> verify(ByteView public_key, ByteView alpha, ByteView proof);

// verify() for several proofs under one public key within one call: the key is checked and
// decoded once, on construction. Holds nothing beyond its own lifetime.
class KeyedVerifier {
 public:
  explicit KeyedVerifier(ByteView public_key);
  KeyedVerifier(KeyedVerifier&&) noexcept;
  KeyedVerifier& operator=(KeyedVerifier&&) noexcept;
  ~KeyedVerifier();

  // The same outcome as verify(public_key, alpha, proof), errors included.
  CryptoResult<std::optional<Hash32>> verify(ByteView alpha, ByteView proof) const;

 private:
  struct Key;
  std::unique_ptr<const Key> key_;
};

// beta from Gamma alone; c and s are not examined. Fails for a proof that is not 81 bytes or
// whose Gamma does not decode.
CryptoResult<Hash32> proof_to_hash(ByteView proof);

}  // namespace quorvantile_crypto::vrf_p256
