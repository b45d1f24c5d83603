// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Holders for secret material. Wiping is structural: the memory behind a holder is overwritten
// whenever the holder releases it (destruction, reassignment, growth), so every path out of a
// function that holds a secret, exceptions included, leaves nothing behind.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_crypto {

// Overwrites memory in a way the compiler does not elide.
void secure_wipe(void* data, std::size_t len) noexcept;

// A fixed-size secret value (a scalar, a seed, a digest of secret input), wiped on destruction.
// Not copyable: a copy would be a second secret to track.
template <class T>
class Secret {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  Secret() = default;
  Secret(const Secret&) = delete;
  Secret& operator=(const Secret&) = delete;
  ~Secret() { secure_wipe(&value_, sizeof value_); }

  T& get() { return value_; }
  const T& get() const { return value_; }

 private:
  T value_{};
};

// An allocator that wipes every block before handing it back to `Upstream`.
template <class T, class Upstream = std::allocator<T>>
struct WipingAllocator : Upstream {
  using value_type = T;
  template <class U>
  struct rebind {
    using other = WipingAllocator<U, typename std::allocator_traits<Upstream>::template rebind_alloc<U>>;
  };
  WipingAllocator() = default;
  explicit WipingAllocator(const Upstream& upstream) : Upstream(upstream) {}
  template <class U, class V>
  WipingAllocator(const WipingAllocator<U, V>& other) : Upstream(static_cast<const V&>(other)) {}

  void deallocate(T* p, std::size_t n) {
    secure_wipe(p, n * sizeof(T));
    Upstream::deallocate(p, n);
  }
};

// Owned secret bytes of any length. Copies, moves and assignments are the vector's; the old
// storage is wiped whenever it is released.
template <class Alloc = WipingAllocator<uint8_t>>
class BasicSecretBytes {
 public:
  BasicSecretBytes() = default;
  explicit BasicSecretBytes(ByteView bytes, const Alloc& alloc = Alloc()) : bytes_(bytes.begin(), bytes.end(), alloc) {}
  // The length is fixed before the bytes are written, so the storage never moves while secret.
  explicit BasicSecretBytes(std::size_t size, const Alloc& alloc = Alloc()) : bytes_(size, 0, alloc) {}

  uint8_t* data() { return bytes_.data(); }
  const uint8_t* data() const { return bytes_.data(); }
  std::size_t size() const { return bytes_.size(); }
  ByteView view() const { return {bytes_.data(), bytes_.size()}; }
  operator ByteView() const { return view(); }

  friend bool operator==(const BasicSecretBytes& a, const BasicSecretBytes& b) { return a.bytes_ == b.bytes_; }

 private:
  std::vector<uint8_t, Alloc> bytes_;
};

using SecretBytes = BasicSecretBytes<>;

}  // namespace quorvantile_crypto
