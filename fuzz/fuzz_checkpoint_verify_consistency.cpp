// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// checkpoint_verify_consistency through the C ABI. With well-formed arguments it succeeds
// exactly when both checkpoints verify against the same keys and the reference accepts the proof
// between their heads (origins are not compared).
#include "abi_oracles.hpp"

namespace {
const qv_fuzz::Signature kSig{"checkpoint_verify_consistency",
                              {{"older_note", qv_fuzz::Type::String},
                               {"newer_note", qv_fuzz::Type::String},
                               {"vkeys", qv_fuzz::Type::StringList},
                               {"proof", qv_fuzz::Type::BytesList}}};
}  // namespace

QV_FUZZ_TARGET(kSig)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv_fuzz::Call call(kSig, data, size);
  uniffi_quorvantile_log_fn_func_checkpoint_verify_consistency(call.arg(0), call.arg(1), call.arg(2), call.arg(3),
                                                               call.status());
  const qv_fuzz::Outcome o = call.finish();
  if (!call.well_formed()) return 0;
  const auto older = qv_fuzz::verify_checkpoint(call.text(0), call.list(2));
  const auto newer = older ? qv_fuzz::verify_checkpoint(call.text(1), call.list(2)) : std::nullopt;
  if (o.code == 0) {
    if (!older || !newer) qv_fuzz::fail("consistency passed with a checkpoint that does not verify");
    if (!qv_fuzz::reference_consistency(older->size, newer->size, call.list(3), older->root, newer->root))
      qv_fuzz::fail("consistency passed where the reference refuses");
  } else if (older && newer &&
             qv_fuzz::reference_consistency(older->size, newer->size, call.list(3), older->root, newer->root)) {
    qv_fuzz::fail("consistency refused where the reference accepts:", o.message);
  }
  return 0;
}
