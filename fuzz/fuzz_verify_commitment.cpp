// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// verify_commitment through the C ABI, against the context-bound SHA3-512 of opening and value
// computed here: with well-formed arguments the export succeeds exactly when the 64-byte
// commitment is that digest under a 32-byte opening.
#include "abi_oracles.hpp"

namespace {
const qv_fuzz::Signature kSig{"verify_commitment",
                              {{"context", qv_fuzz::Type::String},
                               {"commitment", qv_fuzz::Type::Bytes},
                               {"value", qv_fuzz::Type::Bytes},
                               {"opening", qv_fuzz::Type::Bytes}}};
}  // namespace

QV_FUZZ_TARGET(kSig)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv_fuzz::Call call(kSig, data, size);
  uniffi_quorvantile_log_fn_func_verify_commitment(call.arg(0), call.arg(1), call.arg(2), call.arg(3), call.status());
  const qv_fuzz::Outcome o = call.finish();
  if (!call.well_formed()) return 0;
  const auto& opening = call.value(3).bytes;
  const bool expected = opening.size() == 32 &&
                        qv_fuzz::sha3_512_with_context(call.text(0), {opening, call.value(2).bytes}) == call.value(1).bytes;
  if (expected != (o.code == 0)) qv_fuzz::fail("commitment verdict differs from the reference:", o.message);
  return 0;
}
