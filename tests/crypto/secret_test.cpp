// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Secret holders wipe the memory they release, whichever way it is released.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>

#include "quorvantile_crypto/secret.hpp"

namespace {

using namespace quorvantile_crypto;

// Reads storage whose object has ended; the reads must really happen, so they are volatile.
[[gnu::noinline]] bool all_zero(const volatile unsigned char* p, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    if (p[i] != 0) return false;
  }
  return true;
}

TEST(Secret, DestructionWipesTheValueAlsoWhenUnwinding) {
  alignas(Secret<std::array<uint8_t, 32>>) unsigned char storage[sizeof(Secret<std::array<uint8_t, 32>>)];
  std::memset(storage, 0x5A, sizeof storage);
  auto* secret = new (storage) Secret<std::array<uint8_t, 32>>();
  secret->get().fill(0xA5);
  secret->~Secret();
  EXPECT_TRUE(all_zero(storage, sizeof storage));

  // A holder on a path that throws is wiped by the unwinding.
  alignas(Secret<uint64_t>) unsigned char slot[sizeof(Secret<uint64_t>)];
  std::memset(slot, 0x5A, sizeof slot);
  try {
    struct Guard {
      Secret<uint64_t>* s;
      ~Guard() { s->~Secret(); }
    } guard{new (slot) Secret<uint64_t>()};
    guard.s->get() = 0x1122334455667788u;
    throw std::runtime_error("fails after the secret exists");
  } catch (const std::runtime_error&) {
  }
  EXPECT_TRUE(all_zero(slot, sizeof slot));
}

// Hands out blocks of one arena and never reuses them, so released blocks can be inspected.
struct Arena {
  std::array<uint8_t, 256> bytes{};
  std::size_t used = 0;
};

template <class T>
struct ArenaAllocator {
  using value_type = T;
  Arena* arena;
  explicit ArenaAllocator(Arena* a) : arena(a) {}
  template <class U>
  ArenaAllocator(const ArenaAllocator<U>& other) : arena(other.arena) {}
  T* allocate(std::size_t n) {
    if (arena->used + n * sizeof(T) > arena->bytes.size()) throw std::bad_alloc();
    T* p = reinterpret_cast<T*>(arena->bytes.data() + arena->used);
    arena->used += n * sizeof(T);
    return p;
  }
  void deallocate(T*, std::size_t) {}
  friend bool operator==(const ArenaAllocator& a, const ArenaAllocator& b) { return a.arena == b.arena; }
};

using ArenaSecretBytes = BasicSecretBytes<WipingAllocator<uint8_t, ArenaAllocator<uint8_t>>>;

TEST(SecretBytes, EveryReleasedBlockIsWiped) {
  Arena arena;
  const WipingAllocator<uint8_t, ArenaAllocator<uint8_t>> alloc{ArenaAllocator<uint8_t>(&arena)};
  const std::array<uint8_t, 32> first_secret = [] {
    std::array<uint8_t, 32> a{};
    a.fill(0xC3);
    return a;
  }();
  const std::array<uint8_t, 16> second_secret{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  {
    ArenaSecretBytes held(first_secret, alloc);
    ArenaSecretBytes copy = held;  // a copy is a second holder, wiped on its own
    EXPECT_TRUE(copy == held);
    ArenaSecretBytes replacement(second_secret, alloc);
    held = std::move(replacement);  // the replaced secret's block is released here
    EXPECT_EQ(held.size(), 16u);
    EXPECT_TRUE(std::equal(held.view().begin(), held.view().end(), second_secret.begin()));
  }
  ASSERT_GT(arena.used, 0u);
  EXPECT_TRUE(std::all_of(arena.bytes.begin(), arena.bytes.end(), [](uint8_t b) { return b == 0; }));
}

}  // namespace
