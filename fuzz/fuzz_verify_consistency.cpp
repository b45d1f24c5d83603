// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// verify_consistency through the C ABI, against the published verification algorithm: with
// well-formed arguments the export succeeds exactly when the reference accepts the proof.
#include "abi_oracles.hpp"

namespace {
const qv_fuzz::Signature kSig{"verify_consistency",
                              {{"size1", qv_fuzz::Type::U64},
                               {"size2", qv_fuzz::Type::U64},
                               {"proof", qv_fuzz::Type::BytesList},
                               {"root1", qv_fuzz::Type::Bytes},
                               {"root2", qv_fuzz::Type::Bytes}}};
}  // namespace

QV_FUZZ_TARGET(kSig)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv_fuzz::Call call(kSig, data, size);
  uniffi_quorvantile_log_fn_func_verify_consistency(call.integer(0), call.integer(1), call.arg(2), call.arg(3),
                                                    call.arg(4), call.status());
  const qv_fuzz::Outcome o = call.finish();
  if (!call.well_formed()) return 0;
  const bool expected = qv_fuzz::reference_consistency(call.integer(0), call.integer(1), call.list(2),
                                                       call.value(3).bytes, call.value(4).bytes);
  if (expected != (o.code == 0)) qv_fuzz::fail("consistency verdict differs from the reference:", o.message);
  return 0;
}
