// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// checkpoint_verify_cosigned_consistency through the C ABI: the two notes, the policy and the
// encoded proof (a sequence of byte strings, passed as the input gives it).
#include "witness_fuzz_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv_witness_fuzz::Input in{data, size};
  RustBuffer older = qv_witness_fuzz::make_buffer(in);
  RustBuffer newer = qv_witness_fuzz::make_buffer(in);
  RustBuffer policy = qv_witness_fuzz::make_buffer(in);
  RustBuffer proof = qv_witness_fuzz::make_buffer(in);
  RustCallStatus status{};
  uniffi_quorvantile_witness_fn_func_checkpoint_verify_cosigned_consistency(older, newer, policy, proof, &status);
  qv_witness_fuzz::check_and_release(status, RustBuffer{0, 0, nullptr}, false);
  return 0;
}
