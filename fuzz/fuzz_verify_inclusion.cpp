// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// verify_inclusion through the C ABI, against the published verification algorithm: with
// well-formed arguments the export succeeds exactly when the reference accepts the proof.
#include "abi_oracles.hpp"

namespace {
const qv_fuzz::Signature kSig{"verify_inclusion",
                              {{"index", qv_fuzz::Type::U64},
                               {"size", qv_fuzz::Type::U64},
                               {"leaf_hash", qv_fuzz::Type::Bytes},
                               {"proof", qv_fuzz::Type::BytesList},
                               {"root", qv_fuzz::Type::Bytes}}};
}  // namespace

QV_FUZZ_TARGET(kSig)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv_fuzz::Call call(kSig, data, size);
  uniffi_quorvantile_log_fn_func_verify_inclusion(call.integer(0), call.integer(1), call.arg(2), call.arg(3),
                                                  call.arg(4), call.status());
  const qv_fuzz::Outcome o = call.finish();
  if (!call.well_formed()) return 0;
  const bool expected = qv_fuzz::reference_inclusion(call.integer(0), call.integer(1), call.value(2).bytes, call.list(3),
                                                     call.value(4).bytes);
  if (expected != (o.code == 0)) qv_fuzz::fail("inclusion verdict differs from the reference:", o.message);
  return 0;
}
