// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The counting allocator itself: every allocation route is counted and released, and the bound
// check flags a call that holds more than it may.
#include <gtest/gtest.h>
#include <openssl/crypto.h>

#include <cstdlib>
#include <functional>
#include <new>
#include <vector>

#include "counting_allocator.hpp"

namespace qv_alloc {
namespace {

constexpr std::size_t kBlock = 100000;

// Keeps the compiler from eliding an allocation whose block is never used.
template <class T>
T* kept(T* p) {
  asm volatile("" : : "g"(p) : "memory");
  return p;
}

TEST(CountingAllocator, EveryRouteIsCountedAndReleased) {
  ASSERT_TRUE(openssl_hooked());
  struct Route {
    const char* name;
    std::function<void()> allocate_and_free;
  };
  const std::vector<Route> routes = {
      {"malloc", [] { std::free(kept(std::malloc(kBlock))); }},
      {"calloc", [] { std::free(kept(std::calloc(kBlock / 4, 4))); }},
      {"realloc", [] { std::free(kept(std::realloc(kept(std::realloc(nullptr, 16)), kBlock))); }},
      {"aligned_alloc", [] { std::free(kept(std::aligned_alloc(64, kBlock))); }},
      {"posix_memalign", [] { void* p = nullptr; ASSERT_EQ(posix_memalign(&p, 128, kBlock), 0); std::free(p); }},
      {"new", [] { ::operator delete(kept(::operator new(kBlock))); }},
      {"new[]", [] { delete[] kept(new char[kBlock]); }},
      {"new nothrow", [] { ::operator delete(kept(::operator new(kBlock, std::nothrow)), std::nothrow); }},
      {"new aligned", [] { ::operator delete(kept(::operator new(kBlock, std::align_val_t{256})), std::align_val_t{256}); }},
      {"new[] aligned nothrow", [] {
         ::operator delete[](kept(::operator new[](kBlock, std::align_val_t{64}, std::nothrow)), std::align_val_t{64}, std::nothrow);
       }},
      {"sized delete", [] { ::operator delete(kept(::operator new(kBlock)), kBlock); }},
      {"vector", [] { std::vector<uint8_t> v(kBlock); kept(v.data()); }},
      {"OpenSSL", [] { OPENSSL_free(OPENSSL_realloc(OPENSSL_malloc(16), kBlock)); }},
  };
  for (const auto& r : routes) {
    const int64_t before = live_bytes();
    const int64_t peak = peak_during(r.allocate_and_free);
    EXPECT_GE(peak, static_cast<int64_t>(kBlock)) << r.name;
    EXPECT_LT(peak, static_cast<int64_t>(kBlock) + 4096) << r.name;
    EXPECT_EQ(live_bytes(), before) << r.name;
  }
}

TEST(CountingAllocator, TheBoundFlagsACallThatHoldsTooMuch) {
  // A stand-in for an export handed 10000 argument bytes that holds five times that at once.
  constexpr std::size_t kArgs = 10000;
  const int64_t over = peak_during([&] {
    std::vector<uint8_t> scratch(5 * kArgs + 64 * 1024);
    kept(scratch.data());
  });
  EXPECT_GT(over, call_bound(kArgs));
  const int64_t under = peak_during([&] {
    std::vector<uint8_t> scratch(3 * kArgs);
    kept(scratch.data());
  });
  EXPECT_LE(under, call_bound(kArgs));
}

}  // namespace
}  // namespace qv_alloc
