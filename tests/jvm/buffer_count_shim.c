// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
//
// A test-only stand-in for libquorvantile_log.so that the JVM tests load by explicit path: it
// defines the two buffer functions (counting each call, and failing the Nth creation on request)
// and forwards them to the real library, whose other symbols are found through this object's
// dependency on it.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdatomic.h>
#include <string.h>

#include "quorvantile_log.h"

typedef RustBuffer (*FromBytesFn)(ForeignBytes, RustCallStatus*);
typedef void (*FreeFn)(RustBuffer, RustCallStatus*);

static atomic_ullong created;
static atomic_ullong freed;
static atomic_ullong fail_at;

// The real library's definition of `name` (copied out: ISO C has no object-to-function cast).
static void real(const char* name, void* fn, size_t size) {
  void* symbol = dlsym(RTLD_NEXT, name);
  memcpy(fn, &symbol, size);
}

static FromBytesFn real_from_bytes(void) {
  FromBytesFn fn;
  real("ffi_quorvantile_log_rustbuffer_from_bytes", &fn, sizeof fn);
  return fn;
}

RustBuffer ffi_quorvantile_log_rustbuffer_from_bytes(ForeignBytes bytes, RustCallStatus* status) {
  const unsigned long long n = atomic_fetch_add(&created, 1) + 1;
  if (n == atomic_load(&fail_at)) {
    static const char message[] = "simulated allocation failure";
    const ForeignBytes text = {(int32_t)(sizeof message - 1), (const uint8_t*)message};
    status->code = QV_CALL_UNEXPECTED_ERROR;
    status->error_buf = real_from_bytes()(text, status);
    const RustBuffer none = {0, 0, NULL};
    return none;
  }
  return real_from_bytes()(bytes, status);
}

void ffi_quorvantile_log_rustbuffer_free(RustBuffer buf, RustCallStatus* status) {
  atomic_fetch_add(&freed, 1);
  FreeFn fn;
  real("ffi_quorvantile_log_rustbuffer_free", &fn, sizeof fn);
  fn(buf, status);
}

// Restarts the counts; the `fail_creation_at`-th creation from now fails (0: none does).
void qv_shim_reset(uint64_t fail_creation_at) {
  atomic_store(&created, 0);
  atomic_store(&freed, 0);
  atomic_store(&fail_at, fail_creation_at);
}

uint64_t qv_shim_created(void) { return atomic_load(&created); }
uint64_t qv_shim_freed(void) { return atomic_load(&freed); }
