// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// keytrans_verify_fixed_version_suite through the C ABI: a fixed-version proof under the suite of the first argument.
// Only the registered suites (0x0001, 0x0002, 0xF000) ever verify, and a result decodes as a SearchResult.
#include "abi_oracles.hpp"

namespace {
const qv_fuzz::Signature kSig{"keytrans_verify_fixed_version_suite",
                              {{"suite_id", qv_fuzz::Type::U16},
                               {"context", qv_fuzz::Type::String},
                               {"vrf_public", qv_fuzz::Type::Bytes},
                               {"root", qv_fuzz::Type::Bytes},
                               {"label", qv_fuzz::Type::Bytes},
                               {"proof", qv_fuzz::Type::Bytes}}};
}  // namespace

QV_FUZZ_TARGET(kSig)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv_fuzz::Call call(kSig, data, size);
  const auto suite = static_cast<uint16_t>(call.integer(0));
  RustBuffer out = uniffi_quorvantile_log_fn_func_keytrans_verify_fixed_version_suite(
      suite, call.arg(1), call.arg(2), call.arg(3), call.arg(4), call.arg(5), call.status());
  const qv_fuzz::Outcome o = call.finish(out);
  if (o.code == 0 && suite != 0x0001 && suite != 0x0002 && suite != 0xF000) qv_fuzz::fail("unknown suite verified");
  if (o.code == 0) (void)qv_fuzz::read_search(out);
  return 0;
}
