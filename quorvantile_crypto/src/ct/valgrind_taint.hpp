// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Marks for the constant-time check. In a build with QV_CT_CHECK defined, secrets created inside
// this component are marked undefined for valgrind's memcheck, so every branch or memory index
// that depends on them is reported; values that are public by design are marked defined exactly
// where they become public. In every other build the marks compile to nothing.
#include <cstddef>

#ifdef QV_CT_CHECK
#include <valgrind/memcheck.h>
#define QV_CT_SECRET(ptr, len) ((void)VALGRIND_MAKE_MEM_UNDEFINED((ptr), (len)))
#define QV_CT_PUBLIC(ptr, len) ((void)VALGRIND_MAKE_MEM_DEFINED((ptr), (len)))
#else
#define QV_CT_SECRET(ptr, len) ((void)(ptr), (void)(len))
#define QV_CT_PUBLIC(ptr, len) ((void)(ptr), (void)(len))
#endif

namespace quorvantile_crypto::ct {

// Lifts the marking of one secret buffer for the guard's lifetime and restores it afterwards, for
// the single call that is allowed to see a secret without being checked (a scalar multiplication
// done by a library whose constant-time promise is taken on trust). Everything around the guard
// stays checked.
class UncheckedScope {
 public:
  UncheckedScope(const void* data, std::size_t len) : data_(data), len_(len) { QV_CT_PUBLIC(data_, len_); }
  UncheckedScope(const UncheckedScope&) = delete;
  UncheckedScope& operator=(const UncheckedScope&) = delete;
  ~UncheckedScope() { QV_CT_SECRET(data_, len_); }

 private:
  const void* data_;
  std::size_t len_;
};

}  // namespace quorvantile_crypto::ct
