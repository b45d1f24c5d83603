// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include <algorithm>
#include <utility>

#include "quorvantile_crypto/vrf_p256.hpp"
#include "vrf/os_random.hpp"
#include "vrf/vrf.hpp"

namespace quorvantile_log::vrf {
namespace p256 = quorvantile_crypto::vrf_p256;

namespace {

// beta followed by 32 zero bytes.
Output widen(const quorvantile_crypto::Hash32& beta) {
  Output out{};
  std::copy(beta.begin(), beta.end(), out.begin());
  return out;
}

}  // namespace

uint8_t EcvrfP256::suite_id() const { return p256::kSuiteString; }

KeyPair EcvrfP256::generate_keypair() const {
  // Draw until the 32 bytes are a scalar in [1, n-1]; each draw overwrites the rejected one.
  quorvantile_crypto::SecretBytes candidate(p256::kSecretKeySize);
  for (;;) {
    fill_from_os_random({candidate.data(), candidate.size()});
    auto public_key = p256::ecvrf_p256_public_key(candidate);
    if (public_key) return KeyPair{std::move(candidate), Bytes(public_key->begin(), public_key->end())};
  }
}

Result<Bytes> EcvrfP256::derive_public_key(ByteView secret_key) const {
  auto public_key = p256::ecvrf_p256_public_key(secret_key);
  if (!public_key) return std::unexpected(vrf_error(public_key.error()));
  return Bytes(public_key->begin(), public_key->end());
}

Result<Bytes> EcvrfP256::prove(ByteView secret_key, ByteView alpha) const {
  auto proof = p256::prove(secret_key, alpha);
  if (!proof) return std::unexpected(vrf_error(proof.error()));
  return Bytes(proof->begin(), proof->end());
}

Result<Verification> EcvrfP256::verify(ByteView public_key, ByteView alpha, ByteView proof) const {
  auto verified = p256::verify(public_key, alpha, proof);
  if (!verified) return std::unexpected(vrf_error(verified.error()));
  if (!verified->has_value()) return Verification{};
  return Verification{widen(**verified)};
}

Result<Output> EcvrfP256::proof_to_output(ByteView proof) const {
  auto beta = p256::proof_to_hash(proof);
  if (!beta) return std::unexpected(vrf_error(beta.error()));
  return widen(*beta);
}

}  // namespace quorvantile_log::vrf
