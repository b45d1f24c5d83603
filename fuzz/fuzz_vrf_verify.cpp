// VRF verification of both suites on arbitrary key, alpha and proof bytes. Layout of the input:
// byte 0 picks the suite, bytes 1 and 2 give the key and proof lengths (so that wrong lengths are
// exercised too), then the key, the proof and the rest as alpha. A verified proof must have the
// output proof_to_output gives, and verifying under a key decoded once for the call (as a
// key-transparency ladder does) must give the same outcome, errors included.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "vrf/vrf.hpp"

using quorvantile_crypto::ByteView;

namespace {

void exercise(const quorvantile_log::vrf::Vrf& vrf, ByteView key, ByteView alpha, ByteView proof) {
  auto verified = vrf.verify(key, alpha, proof);
  auto output = vrf.proof_to_output(proof);
  if (verified && verified->has_value() && (!output || *output != **verified)) std::abort();
  auto keyed = vrf.keyed(key)->verify(alpha, proof);
  if (keyed.has_value() != verified.has_value()) std::abort();
  if (keyed ? *keyed != *verified : keyed.error().render() != verified.error().render()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const ByteView input(data, size);
  const std::size_t key_len = input[1] % 40;
  const std::size_t proof_len = input[2] % 96;
  ByteView rest = input.subspan(3);
  if (rest.size() < key_len + proof_len) return 0;
  const ByteView key = rest.first(key_len);
  const ByteView proof = rest.subspan(key_len, proof_len);
  const ByteView alpha = rest.subspan(key_len + proof_len);
  if (input[0] & 1) {
    exercise(quorvantile_log::vrf::EcvrfP256{}, key, alpha, proof);
  } else {
    exercise(quorvantile_log::vrf::Ecvrf{}, key, alpha, proof);
  }
  return 0;
}
