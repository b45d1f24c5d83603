// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
//
// The C side of the JVM call-overhead benchmark: verify_inclusion through the C ABI as a C client
// makes it (three argument buffers from rustbuffer_from_bytes, then the call), timed in C. The
// Kotlin benchmark calls this once per round, interleaved with its own rounds.
#include <stdint.h>
#include <time.h>

#include "quorvantile_log.h"

static RustBuffer buffer(const uint8_t* data, int32_t len, RustCallStatus* status) {
  const ForeignBytes bytes = {len, data};
  return ffi_quorvantile_log_rustbuffer_from_bytes(bytes, status);
}

// Nanoseconds for `iterations` calls, of the calling thread's CPU time (`cpu` non-zero) or of wall
// time; -1 if any call failed. `leaf`, `proof` and `root` are the
// arguments already in the buffer encoding.
int64_t qv_bench_inclusion_c(uint64_t index, uint64_t size, const uint8_t* leaf, int32_t leaf_len,
                             const uint8_t* proof, int32_t proof_len, const uint8_t* root, int32_t root_len,
                             uint32_t iterations, int32_t cpu) {
  const clockid_t clock = cpu ? CLOCK_THREAD_CPUTIME_ID : CLOCK_MONOTONIC;
  struct timespec start;
  struct timespec end;
  clock_gettime(clock, &start);
  for (uint32_t i = 0; i < iterations; ++i) {
    RustCallStatus status = {0, {0, 0, 0}};
    const RustBuffer a = buffer(leaf, leaf_len, &status);
    const RustBuffer b = buffer(proof, proof_len, &status);
    const RustBuffer c = buffer(root, root_len, &status);
    uniffi_quorvantile_log_fn_func_verify_inclusion(index, size, a, b, c, &status);
    if (status.code != 0) return -1;
  }
  clock_gettime(clock, &end);
  return (int64_t)(end.tv_sec - start.tv_sec) * 1000000000 + (end.tv_nsec - start.tv_nsec);
}
