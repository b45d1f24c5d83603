// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The counting allocator: interposes the C allocator (this program's definitions come first in
// symbol lookup, so the library, libstdc++ and OpenSSL all reach them) and forwards to glibc's
// own implementations, adding each block's usable size to the live total.
#include "counting_allocator.hpp"

#include <malloc.h>
#include <openssl/crypto.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <new>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t n, std::size_t size);
void* __libc_realloc(void* p, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* p);
}

namespace qv_alloc {
namespace {

std::atomic<int64_t> g_live{0};
std::atomic<int64_t> g_peak{0};
bool g_openssl_hooked = false;

int64_t usable(void* p) { return p == nullptr ? 0 : static_cast<int64_t>(::malloc_usable_size(p)); }

void add(int64_t n) {
  const int64_t now = g_live.fetch_add(n, std::memory_order_relaxed) + n;
  int64_t peak = g_peak.load(std::memory_order_relaxed);
  while (now > peak && !g_peak.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {
  }
}

void* counted(void* p) {
  add(usable(p));
  return p;
}

void release(void* p) {
  if (p == nullptr) return;
  g_live.fetch_sub(usable(p), std::memory_order_relaxed);
  __libc_free(p);
}

void* resize(void* p, std::size_t size) {
  const int64_t before = usable(p);
  void* q = __libc_realloc(p, size);
  if (q != nullptr || size == 0) add(usable(q) - before);
  return q;
}

void* aligned(std::size_t alignment, std::size_t size) { return counted(__libc_memalign(alignment, size)); }

void* openssl_malloc(std::size_t n, const char*, int) { return counted(__libc_malloc(n)); }
void* openssl_realloc(void* p, std::size_t n, const char*, int) { return resize(p, n); }
void openssl_free(void* p, const char*, int) { release(p); }

// Before any other constructor of this program, so OpenSSL has allocated nothing yet.
__attribute__((constructor(101))) void hook_openssl() {
  g_openssl_hooked = CRYPTO_set_mem_functions(openssl_malloc, openssl_realloc, openssl_free) == 1;
}

}  // namespace

int64_t live_bytes() { return g_live.load(std::memory_order_relaxed); }
int64_t peak_bytes() { return g_peak.load(std::memory_order_relaxed); }
int64_t restart_peak() {
  const int64_t now = g_live.load(std::memory_order_relaxed);
  g_peak.store(now, std::memory_order_relaxed);
  return now;
}
bool openssl_hooked() { return g_openssl_hooked; }

}  // namespace qv_alloc

// --- the C allocator ----------------------------------------------------------------------

extern "C" {

void* malloc(std::size_t size) { return qv_alloc::counted(__libc_malloc(size)); }
void* calloc(std::size_t n, std::size_t size) { return qv_alloc::counted(__libc_calloc(n, size)); }
void* realloc(void* p, std::size_t size) { return qv_alloc::resize(p, size); }
void free(void* p) { qv_alloc::release(p); }
void* memalign(std::size_t alignment, std::size_t size) { return qv_alloc::aligned(alignment, size); }
void* aligned_alloc(std::size_t alignment, std::size_t size) { return qv_alloc::aligned(alignment, size); }
int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
  if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return EINVAL;
  void* p = qv_alloc::aligned(alignment, size);
  if (p == nullptr) return ENOMEM;
  *out = p;
  return 0;
}
void* valloc(std::size_t size) { return qv_alloc::aligned(4096, size); }
void* pvalloc(std::size_t size) { return qv_alloc::aligned(4096, (size + 4095) & ~std::size_t{4095}); }

}  // extern "C"

// --- the global operator new and delete, every form ---------------------------------------

namespace {

void* new_block(std::size_t size) {
  void* p = qv_alloc::counted(__libc_malloc(size == 0 ? 1 : size));
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

void* new_aligned(std::size_t size, std::align_val_t alignment) {
  void* p = qv_alloc::aligned(static_cast<std::size_t>(alignment), size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

}  // namespace

void* operator new(std::size_t size) { return new_block(size); }
void* operator new[](std::size_t size) { return new_block(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return qv_alloc::counted(__libc_malloc(size == 0 ? 1 : size)); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return qv_alloc::counted(__libc_malloc(size == 0 ? 1 : size)); }
void* operator new(std::size_t size, std::align_val_t a) { return new_aligned(size, a); }
void* operator new[](std::size_t size, std::align_val_t a) { return new_aligned(size, a); }
void* operator new(std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
  return qv_alloc::aligned(static_cast<std::size_t>(a), size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
  return qv_alloc::aligned(static_cast<std::size_t>(a), size == 0 ? 1 : size);
}

void operator delete(void* p) noexcept { qv_alloc::release(p); }
void operator delete[](void* p) noexcept { qv_alloc::release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { qv_alloc::release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { qv_alloc::release(p); }
void operator delete(void* p, std::size_t) noexcept { qv_alloc::release(p); }
void operator delete[](void* p, std::size_t) noexcept { qv_alloc::release(p); }
void operator delete(void* p, std::align_val_t) noexcept { qv_alloc::release(p); }
void operator delete[](void* p, std::align_val_t) noexcept { qv_alloc::release(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { qv_alloc::release(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { qv_alloc::release(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { qv_alloc::release(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { qv_alloc::release(p); }
