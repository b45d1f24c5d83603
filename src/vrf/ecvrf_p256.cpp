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

Result<Verification> lift(quorvantile_crypto::CryptoResult<std::optional<quorvantile_crypto::Hash32>>&& verified) {
  if (!verified) return std::unexpected(vrf_error(verified.error()));
  if (!verified->has_value()) return Verification{};
  return Verification{widen(**verified)};
}

class DecodedKey final : public KeyedVerification {
 public:
  explicit DecodedKey(ByteView public_key) : verifier_(public_key) {}
  Result<Verification> verify(ByteView alpha, ByteView proof) const override {
    return lift(verifier_.verify(alpha, proof));
  }

 private:
  p256::KeyedVerifier verifier_;
};

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
  return lift(p256::verify(public_key, alpha, proof));
}

std::unique_ptr<KeyedVerification> EcvrfP256::keyed(ByteView public_key) const {
  return std::make_unique<DecodedKey>(public_key);
}

Result<Output> EcvrfP256::proof_to_output(ByteView proof) const {
  auto beta = p256::proof_to_hash(proof);
  if (!beta) return std::unexpected(vrf_error(beta.error()));
  return widen(*beta);
}

}  // namespace quorvantile_log::vrf
