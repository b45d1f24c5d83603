// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// A process-wide allocation counter for the allocation-bound tests. The program that links
// counting_allocator.cpp routes every heap allocation through it: the C allocator's entry points
// (malloc, calloc, realloc, free and the aligned forms, passed on to glibc's own), every form of
// the global operator new and delete, and OpenSSL's allocator (registered before main). It counts
// the bytes each block really occupies (the allocator's usable size) and keeps the peak.
#include <cstddef>
#include <cstdint>

namespace qv_alloc {

// Bytes live now, and the most that were live since the last `restart_peak`.
int64_t live_bytes();
int64_t peak_bytes();
// Starts a measurement window: the peak is set to what is live now, which is returned.
int64_t restart_peak();
// Whether OpenSSL accepted the counting functions (it refuses them after its first allocation).
bool openssl_hooked();

}  // namespace qv_alloc

namespace qv_alloc {

// The most bytes live at once while `f` ran, above what was live when it started.
template <class F>
int64_t peak_during(F&& f) {
  const int64_t start = restart_peak();
  f();
  return peak_bytes() - start;
}

// What one call may hold at once: four times its argument bytes plus 64 KiB of fixed tables.
inline int64_t call_bound(std::size_t arg_bytes) { return 4 * static_cast<int64_t>(arg_bytes) + 64 * 1024; }

}  // namespace qv_alloc
