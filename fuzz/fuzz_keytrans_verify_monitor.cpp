// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// keytrans_verify_monitor through the C ABI: a monitoring proof under the default suite, which must give the same
// verdict as the suite form under 0xF000.
#include "abi_oracles.hpp"

namespace {
const qv_fuzz::Signature kSig{"keytrans_verify_monitor",
                              {{"context", qv_fuzz::Type::String},
                               {"vrf_public", qv_fuzz::Type::Bytes},
                               {"root", qv_fuzz::Type::Bytes},
                               {"label", qv_fuzz::Type::Bytes},
                               {"proof", qv_fuzz::Type::Bytes}}};
}  // namespace

QV_FUZZ_TARGET(kSig)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv_fuzz::Call call(kSig, data, size);
  uniffi_quorvantile_log_fn_func_keytrans_verify_monitor(call.arg(0), call.arg(1), call.arg(2), call.arg(3),
                                                         call.arg(4), call.status());
  const qv_fuzz::Outcome o = call.finish();
  if (!call.well_formed()) return 0;
  RustCallStatus s{};
  uniffi_quorvantile_log_fn_func_keytrans_verify_monitor_suite(
      0xF000, qv_fuzz::text_buffer(call.text(0)), qv_fuzz::seq(call.bytes(1)), qv_fuzz::seq(call.bytes(2)),
      qv_fuzz::seq(call.bytes(3)), qv_fuzz::seq(call.bytes(4)), &s);
  if (qv_fuzz::succeeded(s) != (o.code == 0)) qv_fuzz::fail("default suite and suite 0xF000 disagree:", o.message);
  return 0;
}
