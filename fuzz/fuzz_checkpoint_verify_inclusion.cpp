// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// checkpoint_verify_inclusion through the C ABI. With well-formed arguments it succeeds exactly
// when the checkpoint verifies and the reference accepts the proof under its size and root.
#include "abi_oracles.hpp"

namespace {
const qv_fuzz::Signature kSig{"checkpoint_verify_inclusion",
                              {{"note_text", qv_fuzz::Type::String},
                               {"vkeys", qv_fuzz::Type::StringList},
                               {"leaf_index", qv_fuzz::Type::U64},
                               {"leaf_hash", qv_fuzz::Type::Bytes},
                               {"proof", qv_fuzz::Type::BytesList}}};
}  // namespace

QV_FUZZ_TARGET(kSig)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv_fuzz::Call call(kSig, data, size);
  uniffi_quorvantile_log_fn_func_checkpoint_verify_inclusion(call.arg(0), call.arg(1), call.integer(2), call.arg(3),
                                                             call.arg(4), call.status());
  const qv_fuzz::Outcome o = call.finish();
  if (!call.well_formed()) return 0;
  const auto head = qv_fuzz::verify_checkpoint(call.text(0), call.list(1));
  const bool expected = head && qv_fuzz::reference_inclusion(call.integer(2), head->size, call.value(3).bytes,
                                                             call.list(4), head->root);
  if (expected != (o.code == 0)) qv_fuzz::fail("checkpoint inclusion verdict differs from the reference:", o.message);
  return 0;
}
