// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// checkpoint_verify through the C ABI. A verified checkpoint is a verified signed note whose
// body parses to the same head.
#include "abi_oracles.hpp"

namespace {
const qv_fuzz::Signature kSig{"checkpoint_verify",
                              {{"note_text", qv_fuzz::Type::String}, {"vkeys", qv_fuzz::Type::StringList}}};
}  // namespace

QV_FUZZ_TARGET(kSig)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv_fuzz::Call call(kSig, data, size);
  RustBuffer out = uniffi_quorvantile_log_fn_func_checkpoint_verify(call.arg(0), call.arg(1), call.status());
  const qv_fuzz::Outcome o = call.finish(out);
  if (o.code != 0) return 0;
  const qv_fuzz::Head head = qv_fuzz::read_head(out, call.text(0));
  const std::string note = call.text(0);
  const auto parsed = qv_fuzz::parse_checkpoint(qv_fuzz::note_body(note));
  if (!parsed || !(*parsed == head)) qv_fuzz::fail("verified head differs from the parsed body");
  RustCallStatus s{};
  uniffi_quorvantile_log_fn_func_verify_signed_note(qv_fuzz::text_buffer(note), qv_fuzz::seq_list(call.list(1)), &s);
  if (!qv_fuzz::succeeded(s)) qv_fuzz::fail("verified checkpoint is not a verified note");
  return 0;
}
