// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// verify_signed_note through the C ABI. A verified note reports between one and as many
// signatures as it has signature lines (one key may sign several lines).
#include "abi_oracles.hpp"

namespace {
const qv_fuzz::Signature kSig{"verify_signed_note",
                              {{"note_text", qv_fuzz::Type::String}, {"vkeys", qv_fuzz::Type::StringList}}};
}  // namespace

QV_FUZZ_TARGET(kSig)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv_fuzz::Call call(kSig, data, size);
  const uint32_t count = uniffi_quorvantile_log_fn_func_verify_signed_note(call.arg(0), call.arg(1), call.status());
  const qv_fuzz::Outcome o = call.finish();
  if (o.code != 0) {
    if (count != 0) qv_fuzz::fail("failed call returned a count");
    return 0;
  }
  const std::string note = call.text(0);
  if (count == 0 || count > qv_fuzz::signature_lines(note))
    qv_fuzz::fail("verified signature count out of range");
  return 0;
}
