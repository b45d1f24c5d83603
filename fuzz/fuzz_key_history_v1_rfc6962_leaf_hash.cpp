// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// key_history_v1_rfc6962_leaf_hash through the C ABI. The function is total: with well-formed
// arguments it returns SHA-256 of 0x00 and the canonical bytes written here.
#include "abi_oracles.hpp"

namespace {
const qv_fuzz::Signature kSig{"key_history_v1_rfc6962_leaf_hash",
                              {{"seq", qv_fuzz::Type::U64},
                               {"ts_ms", qv_fuzz::Type::U64},
                               {"enc_x25519", qv_fuzz::Type::Bytes},
                               {"enc_pq", qv_fuzz::Type::Bytes},
                               {"signing_pub", qv_fuzz::Type::Bytes},
                               {"prev_entry_hash", qv_fuzz::Type::OptionalBytes}}};
}  // namespace

QV_FUZZ_TARGET(kSig)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv_fuzz::Call call(kSig, data, size);
  RustBuffer out = uniffi_quorvantile_log_fn_func_key_history_v1_rfc6962_leaf_hash(
      call.integer(0), call.integer(1), call.arg(2), call.arg(3), call.arg(4), call.arg(5), call.status());
  const qv_fuzz::Outcome o = call.finish(out);
  if (!call.well_formed()) return 0;
  if (o.code != 0) qv_fuzz::fail("total function failed:", o.message);
  static constexpr uint8_t kLeaf[1] = {0x00};
  const qv_fuzz::ByteString canonical = qv_fuzz::reference_canonical(call, 0);
  if (qv_fuzz::read_bytes_result(out) != qv_fuzz::digest(EVP_sha256(), {kLeaf, canonical}))
    qv_fuzz::fail("leaf hash differs from the reference");
  return 0;
}
