// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// coniks_verify_lookup through the C ABI. A proof that verifies a lookup proves presence, so the
// same arguments never also verify as an absence.
#include "abi_oracles.hpp"

namespace {
const qv_fuzz::Signature kSig{"coniks_verify_lookup",
                              {{"namespace", qv_fuzz::Type::String},
                               {"vrf_public", qv_fuzz::Type::Bytes},
                               {"root", qv_fuzz::Type::Bytes},
                               {"identity", qv_fuzz::Type::Bytes},
                               {"proof", qv_fuzz::Type::Bytes}}};
}  // namespace

QV_FUZZ_TARGET(kSig)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv_fuzz::Call call(kSig, data, size);
  RustBuffer out = uniffi_quorvantile_log_fn_func_coniks_verify_lookup(call.arg(0), call.arg(1), call.arg(2), call.arg(3),
                                                                       call.arg(4), call.status());
  const qv_fuzz::Outcome o = call.finish(out);
  if (o.code != 0) return 0;
  {
    qv_fuzz::Result value(out);
    (void)value.bytes();
    value.done();
  }
  RustCallStatus s{};
  uniffi_quorvantile_log_fn_func_coniks_verify_absence(qv_fuzz::text_buffer(call.text(0)), qv_fuzz::seq(call.bytes(1)),
                                                       qv_fuzz::seq(call.bytes(2)), qv_fuzz::seq(call.bytes(3)),
                                                       qv_fuzz::seq(call.bytes(4)), &s);
  if (qv_fuzz::succeeded(s)) qv_fuzz::fail("one proof verified both presence and absence");
  return 0;
}
