#include <openssl/crypto.h>

#include <array>
#include <stdexcept>

#include "quorvantile_crypto/vrf.hpp"
#include "vrf/os_random.hpp"
#include "vrf/vrf.hpp"

namespace quorvantile_log::vrf {
namespace ed = quorvantile_crypto::vrf;

namespace {

Error to_error(const quorvantile_crypto::CryptoError& error) { return Error::vrf(error.to_string()); }

}  // namespace

uint8_t Ecvrf::suite_id() const { return ed::kSuiteString; }

KeyPair Ecvrf::generate_keypair() const {
  std::array<uint8_t, ed::kSecretKeySize> seed{};
  fill_from_os_random(seed);
  auto public_key = ed::ecvrf_public_key(seed);
  if (!public_key) {
    OPENSSL_cleanse(seed.data(), seed.size());
    throw std::runtime_error("freshly generated 32-byte seed is valid");
  }
  KeyPair pair(Bytes(seed.begin(), seed.end()), Bytes(public_key->begin(), public_key->end()));
  OPENSSL_cleanse(seed.data(), seed.size());
  return pair;
}

Result<Bytes> Ecvrf::derive_public_key(ByteView secret_key) const {
  auto public_key = ed::ecvrf_public_key(secret_key);
  if (!public_key) return std::unexpected(to_error(public_key.error()));
  return Bytes(public_key->begin(), public_key->end());
}

Result<Bytes> Ecvrf::prove(ByteView secret_key, ByteView alpha) const {
  auto proof = ed::prove(secret_key, alpha);
  if (!proof) return std::unexpected(to_error(proof.error()));
  return Bytes(proof->begin(), proof->end());
}

Result<Verification> Ecvrf::verify(ByteView public_key, ByteView alpha, ByteView proof) const {
  auto verified = ed::verify(public_key, alpha, proof);
  if (!verified) return std::unexpected(to_error(verified.error()));
  return *verified;
}

Result<Output> Ecvrf::proof_to_output(ByteView proof) const {
  auto output = ed::proof_to_hash(proof);
  if (!output) return std::unexpected(to_error(output.error()));
  return *output;
}

}  // namespace quorvantile_log::vrf
