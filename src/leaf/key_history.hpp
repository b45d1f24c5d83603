#pragma once
// The work of the four key-history exports. An empty previous hash is taken as absent (genesis).
// Digests come back as fixed arrays, lowered straight into the result buffer.
#include <cstdint>
#include <optional>
#include <string_view>

#include "error/error.hpp"
#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_log::leaf {

using OptionalHash = std::optional<quorvantile_crypto::ByteView>;

Result<quorvantile_crypto::Bytes> key_history_v1_canonical_bytes(uint64_t seq, uint64_t ts_ms,
                                                                 quorvantile_crypto::ByteView enc_x25519,
                                                                 quorvantile_crypto::ByteView enc_pq,
                                                                 quorvantile_crypto::ByteView signing_pub,
                                                                 const OptionalHash& prev_entry_hash);

// The entry hash under the fixed key-history label.
Result<quorvantile_crypto::Hash64> key_history_v1_entry_hash(uint64_t seq, uint64_t ts_ms,
                                                            quorvantile_crypto::ByteView enc_x25519,
                                                            quorvantile_crypto::ByteView enc_pq,
                                                            quorvantile_crypto::ByteView signing_pub,
                                                            const OptionalHash& prev_entry_hash);

Result<quorvantile_crypto::Hash32> key_history_v1_rfc6962_leaf_hash(uint64_t seq, uint64_t ts_ms,
                                                                   quorvantile_crypto::ByteView enc_x25519,
                                                                   quorvantile_crypto::ByteView enc_pq,
                                                                   quorvantile_crypto::ByteView signing_pub,
                                                                   const OptionalHash& prev_entry_hash);

// The entry hash under the caller's label, which is validated before anything is hashed.
Result<quorvantile_crypto::Hash64> key_history_entry_hash_with_context(std::string_view context, uint64_t seq,
                                                                      uint64_t ts_ms,
                                                                      quorvantile_crypto::ByteView enc_x25519,
                                                                      quorvantile_crypto::ByteView enc_pq,
                                                                      quorvantile_crypto::ByteView signing_pub,
                                                                      const OptionalHash& prev_entry_hash);

}  // namespace quorvantile_log::leaf
