// policy_enforce_commitment_hash: one of the generated envelopes (first byte) and an arbitrary observed
// commitment hash (either variant) (the rest). Every outcome is success or a rendered message; a valid envelope's
// mismatch is always a posture mismatch.
#include <cstdlib>
#include <string_view>

#include "policy/operations.hpp"
#include "policy_fuzz_support.hpp"

using namespace quorvantile_log;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto& envelope = qv_fuzz::pick_envelope(data, size);
  const auto result = policy::enforce_commitment_hash(envelope, size > 0 && (data[0] & 1) ? CommitmentHash::Sha3_512 : CommitmentHash::Sha3_256);
  if (result) return 0;
  const std::string message = result.error().render();
  if (message.empty()) std::abort();
  if (policy::verified_policy(envelope) && result.error().kind() != Error::Kind::PostureMismatch) std::abort();
  return 0;
}
