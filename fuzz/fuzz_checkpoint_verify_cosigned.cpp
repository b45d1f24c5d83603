// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// checkpoint_verify_cosigned through the C ABI: the note and the policy buffers.
#include "witness_fuzz_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv_witness_fuzz::Input in{data, size};
  RustBuffer note = qv_witness_fuzz::make_buffer(in);
  RustBuffer policy = qv_witness_fuzz::make_buffer(in);
  RustCallStatus status{};
  const RustBuffer out = uniffi_quorvantile_witness_fn_func_checkpoint_verify_cosigned(note, policy, &status);
  qv_witness_fuzz::check_and_release(status, out, true);
  return 0;
}
