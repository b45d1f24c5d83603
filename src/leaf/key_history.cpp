#include "leaf/key_history.hpp"

#include "leaf/context_label.hpp"
#include "leaf/entry.hpp"

namespace quorvantile_log::leaf {
namespace {

Entry make_entry(uint64_t seq, uint64_t ts_ms, ByteView enc_x25519, ByteView enc_pq, ByteView signing_pub,
                 const OptionalHash& prev_entry_hash) {
  Entry e{seq, ts_ms, enc_x25519, enc_pq, signing_pub, std::nullopt};
  if (prev_entry_hash && !prev_entry_hash->empty()) e.prev_entry_hash = *prev_entry_hash;
  return e;
}

}  // namespace

Result<Bytes> key_history_v1_canonical_bytes(uint64_t seq, uint64_t ts_ms, ByteView enc_x25519, ByteView enc_pq,
                                             ByteView signing_pub, const OptionalHash& prev_entry_hash) {
  return make_entry(seq, ts_ms, enc_x25519, enc_pq, signing_pub, prev_entry_hash).canonical_bytes();
}

Result<Hash64> key_history_v1_entry_hash(uint64_t seq, uint64_t ts_ms, ByteView enc_x25519, ByteView enc_pq,
                                        ByteView signing_pub, const OptionalHash& prev_entry_hash) {
  // The fixed label is a valid one (a test parses it): no need to parse it on every call.
  return make_entry(seq, ts_ms, enc_x25519, enc_pq, signing_pub, prev_entry_hash).entry_hash_with_context(kKeyHistoryLabel);
}

Result<Hash32> key_history_v1_rfc6962_leaf_hash(uint64_t seq, uint64_t ts_ms, ByteView enc_x25519, ByteView enc_pq,
                                               ByteView signing_pub, const OptionalHash& prev_entry_hash) {
  return make_entry(seq, ts_ms, enc_x25519, enc_pq, signing_pub, prev_entry_hash).rfc6962_leaf_hash();
}

Result<Hash64> key_history_entry_hash_with_context(std::string_view context, uint64_t seq, uint64_t ts_ms,
                                                  ByteView enc_x25519, ByteView enc_pq, ByteView signing_pub,
                                                  const OptionalHash& prev_entry_hash) {
  auto label = ContextLabel::parse(context);
  if (!label) return std::unexpected(std::move(label.error()));
  return make_entry(seq, ts_ms, enc_x25519, enc_pq, signing_pub, prev_entry_hash).entry_hash_with_context(label->label);
}

}  // namespace quorvantile_log::leaf
