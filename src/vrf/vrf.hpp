#pragma once
// The verifiable random function interface and its two RFC 9381 implementations: Ecvrf
// (ECVRF-EDWARDS25519-SHA512-TAI, suite 0x03) and EcvrfP256 (ECVRF-P256-SHA256-TAI, suite 0x01).
// Both are stateless; every operation is a pure function of its arguments except key generation,
// which reads the operating system's random source.
#include <cstdint>
#include <memory>
#include <optional>

#include "error/error.hpp"
#include "quorvantile_crypto/bytes.hpp"
#include "quorvantile_crypto/error.hpp"
#include "quorvantile_crypto/secret.hpp"

namespace quorvantile_log::vrf {

using quorvantile_crypto::Bytes;
using quorvantile_crypto::ByteView;
using quorvantile_crypto::Hash64;

// The VRF output is always 64 bytes.
using Output = Hash64;
// The output when the proof verifies; nothing when it does not.
using Verification = std::optional<Output>;

// A fresh key pair. The secret key's storage is wiped whenever it is released: when the pair is
// destroyed and when an assignment replaces it.
struct KeyPair {
  quorvantile_crypto::SecretBytes secret_key;
  Bytes public_key;
};

// A primitive's failure as the library's error: "vrf error: " and the primitive's text.
inline Error vrf_error(const quorvantile_crypto::CryptoError& error) { return Error::vrf(error.to_string()); }

// Verification of several proofs under one public key within one call, such as the steps of a
// key-transparency ladder. Borrows the key; a suite that can decodes it once.
class KeyedVerification {
 public:
  virtual ~KeyedVerification() = default;
  // The same outcome as Vrf::verify(public_key, alpha, proof), errors included.
  virtual Result<Verification> verify(ByteView alpha, ByteView proof) const = 0;
};

// Operations in dispatch-table order. Failures of the primitives become Error::vrf with the
// primitive's text; verify fails only for malformed lengths and otherwise reports verified (with
// the output) or not verified.
class Vrf {
 public:
  virtual ~Vrf() = default;

  virtual uint8_t suite_id() const = 0;
  // Throws std::runtime_error("OS CSPRNG unavailable") when the random source cannot be read.
  virtual KeyPair generate_keypair() const = 0;
  virtual Result<Bytes> derive_public_key(ByteView secret_key) const = 0;
  virtual Result<Bytes> prove(ByteView secret_key, ByteView alpha) const = 0;
  virtual Result<Verification> verify(ByteView public_key, ByteView alpha, ByteView proof) const = 0;
  virtual Result<Output> proof_to_output(ByteView proof) const = 0;
  // Per call. This one calls verify() for each proof.
  virtual std::unique_ptr<KeyedVerification> keyed(ByteView public_key) const;
};

// ECVRF-EDWARDS25519-SHA512-TAI: 32-byte seeds and public keys, 80-byte proofs.
class Ecvrf final : public Vrf {
 public:
  uint8_t suite_id() const override;
  KeyPair generate_keypair() const override;
  Result<Bytes> derive_public_key(ByteView secret_key) const override;
  Result<Bytes> prove(ByteView secret_key, ByteView alpha) const override;
  Result<Verification> verify(ByteView public_key, ByteView alpha, ByteView proof) const override;
  Result<Output> proof_to_output(ByteView proof) const override;
};

// ECVRF-P256-SHA256-TAI: 32-byte scalars, 33-byte public keys, 81-byte proofs; the output is the
// 32-byte beta followed by 32 zero bytes.
class EcvrfP256 final : public Vrf {
 public:
  uint8_t suite_id() const override;
  KeyPair generate_keypair() const override;
  Result<Bytes> derive_public_key(ByteView secret_key) const override;
  Result<Bytes> prove(ByteView secret_key, ByteView alpha) const override;
  Result<Verification> verify(ByteView public_key, ByteView alpha, ByteView proof) const override;
  Result<Output> proof_to_output(ByteView proof) const override;
  // Decodes the public key once for all the proofs.
  std::unique_ptr<KeyedVerification> keyed(ByteView public_key) const override;
};

}  // namespace quorvantile_log::vrf
