// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Reference hashing for tests, straight through OpenSSL's one-shot digests (independent of the
// library's hashing code).
#include <openssl/evp.h>

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace qv_test::ref {

using Bytes = std::vector<uint8_t>;
using Hash64 = std::array<uint8_t, 64>;

inline Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

inline Bytes text(std::string_view s) { return Bytes(s.begin(), s.end()); }

inline Bytes u64be(uint64_t v) {
  Bytes out(8);
  for (int i = 7; i >= 0; --i, v >>= 8) out[static_cast<std::size_t>(i)] = static_cast<uint8_t>(v);
  return out;
}

inline Bytes u32be(uint32_t v) {
  return {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8),
          static_cast<uint8_t>(v)};
}

inline Bytes digest(const char* name, const Bytes& data) {
  unsigned char out[EVP_MAX_MD_SIZE];
  unsigned int len = 0;
  if (EVP_Digest(data.data(), data.size(), out, &len, EVP_get_digestbyname(name), nullptr) != 1)
    throw std::runtime_error("digest failed");
  return Bytes(out, out + len);
}

// SHA3-512 over u64be(len(context)) || context || message.
inline Hash64 sha3_ctx(std::string_view context, const Bytes& message) {
  const Bytes d = digest("SHA3-512", cat({u64be(context.size()), text(context), message}));
  Hash64 h{};
  std::copy(d.begin(), d.end(), h.begin());
  return h;
}

inline Bytes sha256(const Bytes& data) { return digest("SHA256", data); }

}  // namespace qv_test::ref
