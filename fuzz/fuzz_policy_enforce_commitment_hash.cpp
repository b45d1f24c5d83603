// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// policy_enforce_commitment_hash through the C ABI: passes exactly when the envelope verifies and
// the observed hash is the one its posture declares.
#include "abi_oracles.hpp"

namespace {
const qv_fuzz::Signature kSig{"policy_enforce_commitment_hash",
                              {{"envelope", qv_fuzz::Type::Bytes}, {"observed", qv_fuzz::Type::CommitmentHash}}};
}  // namespace

QV_FUZZ_TARGET(kSig)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv_fuzz::Call call(kSig, data, size);
  uniffi_quorvantile_log_fn_func_policy_enforce_commitment_hash(call.arg(0), call.arg(1), call.status());
  const qv_fuzz::Outcome o = call.finish();
  const auto posture = qv_fuzz::check_enforcement(o, call.bytes(0), call.well_formed());
  if (posture && (o.code == 0) != (posture->commitment_hash == call.value(1).variant))
    qv_fuzz::fail("commitment hash enforcement differs from the posture");
  return 0;
}
