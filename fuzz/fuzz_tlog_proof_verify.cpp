// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// tlog_proof_verify through the C ABI: the proof bundle, the policy and the leaf hash buffers.
#include "witness_fuzz_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv_witness_fuzz::Input in{data, size};
  RustBuffer proof = qv_witness_fuzz::make_buffer(in);
  RustBuffer policy = qv_witness_fuzz::make_buffer(in);
  RustBuffer leaf_hash = qv_witness_fuzz::make_buffer(in);
  RustCallStatus status{};
  const RustBuffer out = uniffi_quorvantile_witness_fn_func_tlog_proof_verify(proof, policy, leaf_hash, &status);
  qv_witness_fuzz::check_and_release(status, out, true);
  return 0;
}
