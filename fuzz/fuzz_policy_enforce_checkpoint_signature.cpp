// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// policy_enforce_checkpoint_signature through the C ABI: a generated envelope (valid or not) and a
// framed signature token. Enforcement passes only on an envelope that verifies by itself, and a
// verified envelope fails only with a posture mismatch.
#include "abi_oracles.hpp"

namespace {
const qv_fuzz::Signature kSig{"policy_enforce_checkpoint_signature",
                              {{"envelope", qv_fuzz::Type::Bytes}, {"signature", qv_fuzz::Type::String}}};
}  // namespace

QV_FUZZ_TARGET(kSig)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv_fuzz::Call call(kSig, data, size);
  uniffi_quorvantile_log_fn_func_policy_enforce_checkpoint_signature(call.arg(0), call.arg(1), call.status());
  const qv_fuzz::Outcome o = call.finish();
  (void)qv_fuzz::check_enforcement(o, call.bytes(0), call.well_formed());
  return 0;
}
