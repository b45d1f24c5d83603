// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// policy_enforce_vrf_suite_id through the C ABI: passes exactly when the envelope verifies, declares
// the classical VRF mode and the observed suite id is 0x03.
#include "abi_oracles.hpp"

namespace {
const qv_fuzz::Signature kSig{"policy_enforce_vrf_suite_id",
                              {{"envelope", qv_fuzz::Type::Bytes}, {"observed_suite_id", qv_fuzz::Type::U8}}};
}  // namespace

QV_FUZZ_TARGET(kSig)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv_fuzz::Call call(kSig, data, size);
  uniffi_quorvantile_log_fn_func_policy_enforce_vrf_suite_id(call.arg(0), static_cast<uint8_t>(call.integer(1)),
                                                             call.status());
  const qv_fuzz::Outcome o = call.finish();
  const auto posture = qv_fuzz::check_enforcement(o, call.bytes(0), call.well_formed());
  if (posture && (o.code == 0) != (posture->vrf_mode == 1 && call.integer(1) == 0x03))
    qv_fuzz::fail("VRF suite enforcement differs from the posture");
  return 0;
}
