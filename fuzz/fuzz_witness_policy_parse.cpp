// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// witness_policy_parse through the C ABI: one argument buffer (the policy text).
#include "witness_fuzz_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv_witness_fuzz::Input in{data, size};
  RustBuffer policy = qv_witness_fuzz::make_buffer(in);
  RustCallStatus status{};
  const RustBuffer out = uniffi_quorvantile_witness_fn_func_witness_policy_parse(policy, &status);
  qv_witness_fuzz::check_and_release(status, out, true);
  return 0;
}
