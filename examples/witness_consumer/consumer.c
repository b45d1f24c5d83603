// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

/* A client of the installed witness component: verifies a cosigned checkpoint under a witness
 * quorum policy, then shows the same checkpoint failing a stricter quorum.
 * Usage: witness_consumer DATA_DIR (holding hybrid.checkpoint, hybrid.policy, hybrid_unmet.policy). */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "quorvantile_witness.h"

static RustBuffer read_arg(const char* dir, const char* name) {
  char path[1024];
  snprintf(path, sizeof path, "%s/%s", dir, name);
  FILE* f = fopen(path, "rb");
  if (!f) {
    fprintf(stderr, "cannot open %s\n", path);
    exit(2);
  }
  static uint8_t buf[1 << 16];
  const size_t n = fread(buf, 1, sizeof buf, f);
  fclose(f);
  RustCallStatus status = {0};
  return ffi_quorvantile_witness_rustbuffer_from_bytes((ForeignBytes){(int32_t)n, buf}, &status);
}

/* 0 when verified; otherwise prints the message and returns 1. */
static int verify(const char* dir, const char* policy) {
  RustCallStatus status = {0};
  RustBuffer out = uniffi_quorvantile_witness_fn_func_checkpoint_verify_cosigned(
      read_arg(dir, "hybrid.checkpoint"), read_arg(dir, policy), &status);
  RustCallStatus free_status = {0};
  if (status.code == QV_CALL_SUCCESS) {
    printf("%s: verified (%llu bytes of CosignedCheckpoint)\n", policy, (unsigned long long)out.len);
    ffi_quorvantile_witness_rustbuffer_free(out, &free_status);
    return 0;
  }
  const size_t skip = status.code == QV_CALL_ERROR ? 8 : 0;
  printf("%s: rejected: %.*s\n", policy, (int)(status.error_buf.len - skip), (const char*)status.error_buf.data + skip);
  ffi_quorvantile_witness_rustbuffer_free(status.error_buf, &free_status);
  return 1;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s DATA_DIR\n", argv[0]);
    return 2;
  }
  if (ffi_quorvantile_witness_uniffi_contract_version() != 30) return 2;
  const int ok = verify(argv[1], "hybrid.policy") == 0 && verify(argv[1], "hybrid_unmet.policy") == 1;
  return ok ? 0 : 1;
}
