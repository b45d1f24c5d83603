// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "leaf/entry.hpp"

#include <array>

#include "quorvantile_crypto/context_hash.hpp"
#include "quorvantile_crypto/hash.hpp"

namespace quorvantile_log::leaf {
namespace {

constexpr uint32_t kFormatVersion = 1;

// The fixed-size integers and length prefixes of the canonical bytes; the byte fields are taken
// from the entry between them, so hashing never copies them.
struct Framing {
  std::array<uint8_t, 24> head{};  // version, seq, ts_ms, length of enc_x25519
  std::array<uint8_t, 4> enc_pq_len{};
  std::array<uint8_t, 4> signing_pub_len{};
  std::array<uint8_t, 4> prev_len{};
};

template <std::size_t N>
void put_be(std::array<uint8_t, N>& out, std::size_t at, uint64_t v, std::size_t width) {
  for (std::size_t i = width; i-- > 0; v >>= 8) out[at + i] = static_cast<uint8_t>(v);
}

Result<Framing> framing(const Entry& e) {
  if (e.prev_entry_hash && e.prev_entry_hash->empty()) {
    return std::unexpected(Error::malformed_leaf("prev_entry_hash present but empty; genesis must use None"));
  }
  Framing f;
  put_be(f.head, 0, kFormatVersion, 4);
  put_be(f.head, 4, e.seq, 8);
  put_be(f.head, 12, e.ts_ms, 8);
  put_be(f.head, 20, e.enc_x25519.size(), 4);
  put_be(f.enc_pq_len, 0, e.enc_pq.size(), 4);
  put_be(f.signing_pub_len, 0, e.signing_pub.size(), 4);
  put_be(f.prev_len, 0, e.prev_entry_hash ? e.prev_entry_hash->size() : 0, 4);
  return f;
}

ByteView prev(const Entry& e) { return e.prev_entry_hash.value_or(ByteView{}); }

}  // namespace

Result<Bytes> Entry::canonical_bytes() const {
  auto f = framing(*this);
  if (!f) return std::unexpected(std::move(f.error()));
  Bytes out;
  out.reserve(36 + enc_x25519.size() + enc_pq.size() + signing_pub.size() + prev(*this).size());
  for (ByteView part : {ByteView(f->head), enc_x25519, ByteView(f->enc_pq_len), enc_pq, ByteView(f->signing_pub_len),
                        signing_pub, ByteView(f->prev_len), prev(*this)}) {
    out.insert(out.end(), part.begin(), part.end());
  }
  return out;
}

Result<Hash64> Entry::entry_hash_with_context(std::string_view context) const {
  auto f = framing(*this);
  if (!f) return std::unexpected(std::move(f.error()));
  quorvantile_crypto::ContextHash hash;
  return hash.digest(quorvantile_crypto::as_bytes(context),
                     {f->head, enc_x25519, f->enc_pq_len, enc_pq, f->signing_pub_len, signing_pub, f->prev_len,
                      prev(*this)});
}

Result<Hash32> Entry::rfc6962_leaf_hash() const {
  auto f = framing(*this);
  if (!f) return std::unexpected(std::move(f.error()));
  static constexpr uint8_t kLeafPrefix[1] = {0x00};
  quorvantile_crypto::Sha256 hash;
  return hash.digest({kLeafPrefix, f->head, enc_x25519, f->enc_pq_len, enc_pq, f->signing_pub_len, signing_pub,
                      f->prev_len, prev(*this)});
}

}  // namespace quorvantile_log::leaf
