// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include <stdexcept>
#include <utility>

#include "quorvantile_crypto/vrf.hpp"
#include "vrf/os_random.hpp"
#include "vrf/vrf.hpp"

namespace quorvantile_log::vrf {
namespace ed = quorvantile_crypto::vrf;

uint8_t Ecvrf::suite_id() const { return ed::kSuiteString; }

KeyPair Ecvrf::generate_keypair() const {
  quorvantile_crypto::SecretBytes seed(ed::kSecretKeySize);
  fill_from_os_random({seed.data(), seed.size()});
  auto public_key = ed::ecvrf_public_key(seed);
  if (!public_key) throw std::runtime_error("freshly generated 32-byte seed is valid");
  return KeyPair{std::move(seed), Bytes(public_key->begin(), public_key->end())};
}

Result<Bytes> Ecvrf::derive_public_key(ByteView secret_key) const {
  auto public_key = ed::ecvrf_public_key(secret_key);
  if (!public_key) return std::unexpected(vrf_error(public_key.error()));
  return Bytes(public_key->begin(), public_key->end());
}

Result<Bytes> Ecvrf::prove(ByteView secret_key, ByteView alpha) const {
  auto proof = ed::prove(secret_key, alpha);
  if (!proof) return std::unexpected(vrf_error(proof.error()));
  return Bytes(proof->begin(), proof->end());
}

Result<Verification> Ecvrf::verify(ByteView public_key, ByteView alpha, ByteView proof) const {
  auto verified = ed::verify(public_key, alpha, proof);
  if (!verified) return std::unexpected(vrf_error(verified.error()));
  return *verified;
}

Result<Output> Ecvrf::proof_to_output(ByteView proof) const {
  auto output = ed::proof_to_hash(proof);
  if (!output) return std::unexpected(vrf_error(output.error()));
  return *output;
}

}  // namespace quorvantile_log::vrf
