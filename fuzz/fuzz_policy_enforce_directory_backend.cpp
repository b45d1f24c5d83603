// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// policy_enforce_directory_backend through the C ABI: passes exactly when the envelope verifies
// and the backend id is the declared directory's (0x0001 Coniks, 0xf004 Keytrans).
#include "abi_oracles.hpp"

namespace {
const qv_fuzz::Signature kSig{"policy_enforce_directory_backend",
                              {{"envelope", qv_fuzz::Type::Bytes}, {"observed_backend_id", qv_fuzz::Type::U16}}};
}  // namespace

QV_FUZZ_TARGET(kSig)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv_fuzz::Call call(kSig, data, size);
  uniffi_quorvantile_log_fn_func_policy_enforce_directory_backend(call.arg(0), static_cast<uint16_t>(call.integer(1)),
                                                                  call.status());
  const qv_fuzz::Outcome o = call.finish();
  const auto posture = qv_fuzz::check_enforcement(o, call.bytes(0), call.well_formed());
  if (posture) {
    const uint64_t declared = posture->directory_mode == 2 ? 0xF004 : 0x0001;
    if ((o.code == 0) != (call.integer(1) == declared)) qv_fuzz::fail("backend enforcement differs from the posture");
  }
  return 0;
}
