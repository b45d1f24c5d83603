#include <openssl/crypto.h>

#include <algorithm>
#include <array>

#include "quorvantile_crypto/vrf_p256.hpp"
#include "vrf/os_random.hpp"
#include "vrf/vrf.hpp"

namespace quorvantile_log::vrf {
namespace p256 = quorvantile_crypto::vrf_p256;

namespace {

Error to_error(const quorvantile_crypto::CryptoError& error) { return Error::vrf(error.to_string()); }

// beta followed by 32 zero bytes.
Output widen(const quorvantile_crypto::Hash32& beta) {
  Output out{};
  std::copy(beta.begin(), beta.end(), out.begin());
  return out;
}

}  // namespace

uint8_t EcvrfP256::suite_id() const { return p256::kSuiteString; }

KeyPair EcvrfP256::generate_keypair() const {
  // Draw until the 32 bytes are a scalar in [1, n-1]; a rejected draw is wiped before the next.
  std::array<uint8_t, p256::kSecretKeySize> candidate{};
  for (;;) {
    fill_from_os_random(candidate);
    auto public_key = p256::ecvrf_p256_public_key(candidate);
    if (public_key) {
      KeyPair pair(Bytes(candidate.begin(), candidate.end()), Bytes(public_key->begin(), public_key->end()));
      OPENSSL_cleanse(candidate.data(), candidate.size());
      return pair;
    }
    OPENSSL_cleanse(candidate.data(), candidate.size());
  }
}

Result<Bytes> EcvrfP256::derive_public_key(ByteView secret_key) const {
  auto public_key = p256::ecvrf_p256_public_key(secret_key);
  if (!public_key) return std::unexpected(to_error(public_key.error()));
  return Bytes(public_key->begin(), public_key->end());
}

Result<Bytes> EcvrfP256::prove(ByteView secret_key, ByteView alpha) const {
  auto proof = p256::prove(secret_key, alpha);
  if (!proof) return std::unexpected(to_error(proof.error()));
  return Bytes(proof->begin(), proof->end());
}

Result<Verification> EcvrfP256::verify(ByteView public_key, ByteView alpha, ByteView proof) const {
  auto verified = p256::verify(public_key, alpha, proof);
  if (!verified) return std::unexpected(to_error(verified.error()));
  if (!verified->has_value()) return Verification{};
  return Verification{widen(**verified)};
}

Result<Output> EcvrfP256::proof_to_output(ByteView proof) const {
  auto beta = p256::proof_to_hash(proof);
  if (!beta) return std::unexpected(to_error(beta.error()));
  return widen(*beta);
}

}  // namespace quorvantile_log::vrf
