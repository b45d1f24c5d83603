// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "leaf/key_history.hpp"

#include "leaf/context_label.hpp"
#include "leaf/entry.hpp"

namespace quorvantile_log::leaf {
namespace {

Entry make_entry(uint64_t seq, uint64_t ts_ms, ByteView enc_x25519, ByteView enc_pq, ByteView signing_pub,
                 const OptionalHash& prev_entry_hash) {
  Entry e{seq, ts_ms, enc_x25519, enc_pq, signing_pub, std::nullopt};
  if (prev_entry_hash && !prev_entry_hash->empty()) e.prev_entry_hash = ByteView(*prev_entry_hash);
  return e;
}

template <std::size_t N>
Result<Bytes> owned(Result<std::array<uint8_t, N>>&& hash) {
  if (!hash) return std::unexpected(std::move(hash.error()));
  return Bytes(hash->begin(), hash->end());
}

Result<Bytes> hash_under(const ContextLabel& label, const Entry& entry) {
  return owned(entry.entry_hash_with_context(label.label));
}

}  // namespace

Result<Bytes> key_history_v1_canonical_bytes(uint64_t seq, uint64_t ts_ms, ByteView enc_x25519, ByteView enc_pq,
                                             ByteView signing_pub, const OptionalHash& prev_entry_hash) {
  return make_entry(seq, ts_ms, enc_x25519, enc_pq, signing_pub, prev_entry_hash).canonical_bytes();
}

Result<Bytes> key_history_v1_entry_hash(uint64_t seq, uint64_t ts_ms, ByteView enc_x25519, ByteView enc_pq,
                                        ByteView signing_pub, const OptionalHash& prev_entry_hash) {
  const Entry entry = make_entry(seq, ts_ms, enc_x25519, enc_pq, signing_pub, prev_entry_hash);
  auto label = ContextLabel::parse(kKeyHistoryLabel);
  if (!label) return std::unexpected(std::move(label.error()));
  return hash_under(*label, entry);
}

Result<Bytes> key_history_v1_rfc6962_leaf_hash(uint64_t seq, uint64_t ts_ms, ByteView enc_x25519, ByteView enc_pq,
                                               ByteView signing_pub, const OptionalHash& prev_entry_hash) {
  return owned(make_entry(seq, ts_ms, enc_x25519, enc_pq, signing_pub, prev_entry_hash).rfc6962_leaf_hash());
}

Result<Bytes> key_history_entry_hash_with_context(std::string_view context, uint64_t seq, uint64_t ts_ms,
                                                  ByteView enc_x25519, ByteView enc_pq, ByteView signing_pub,
                                                  const OptionalHash& prev_entry_hash) {
  auto label = ContextLabel::parse(context);
  if (!label) return std::unexpected(std::move(label.error()));
  return hash_under(*label, make_entry(seq, ts_ms, enc_x25519, enc_pq, signing_pub, prev_entry_hash));
}

}  // namespace quorvantile_log::leaf
