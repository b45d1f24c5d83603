// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Exports of the key-history entry computations.
#include "ffi/declare.hpp"
#include "leaf/key_history.hpp"

// The fields of a version-1 entry, the arguments every export here ends with.
#define QV_KEY_HISTORY_V1_ENTRY_ARGS                                                                           \
  (seq, U64, "The entry's position in the account's chain."),                                                   \
      (ts_ms, U64, "The entry's timestamp (milliseconds since the epoch)."),                                    \
      (enc_x25519, Bytes, "The account's classical (X25519) encryption public key."),                           \
      (enc_pq, Bytes, "The account's post-quantum encryption public key."),                                     \
      (signing_pub, Bytes, "The account's signing public key."),                                                \
      (prev_entry_hash, OptionalBytes,                                                                          \
       "The 64-byte entry hash of the previous entry; absent for the first entry of a chain.")

QV_EXPORT(key_history_v1_canonical_bytes, KEY_HISTORY_V1_CANONICAL_BYTES, Bytes,
          ::quorvantile_log::leaf::key_history_v1_canonical_bytes,
          "Returns the canonical bytes of a version-1 key-history entry. A missing or empty "
          "`prev_entry_hash` marks the first entry of a chain.",
          QV_KEY_HISTORY_V1_ENTRY_ARGS)

QV_EXPORT(key_history_v1_entry_hash, KEY_HISTORY_V1_ENTRY_HASH, Bytes, ::quorvantile_log::leaf::key_history_v1_entry_hash,
          "Returns the 64-byte entry hash of a version-1 key-history entry: SHA3-512 with the key-history "
          "label as context over the canonical bytes.",
          QV_KEY_HISTORY_V1_ENTRY_ARGS)

QV_EXPORT(key_history_v1_rfc6962_leaf_hash, KEY_HISTORY_V1_RFC6962_LEAF_HASH, Bytes,
          ::quorvantile_log::leaf::key_history_v1_rfc6962_leaf_hash,
          "Returns the 32-byte RFC 6962 leaf hash of a version-1 key-history entry's canonical bytes, "
          "ready for verify_inclusion.",
          QV_KEY_HISTORY_V1_ENTRY_ARGS)

QV_EXPORT(key_history_entry_hash_with_context, KEY_HISTORY_ENTRY_HASH_WITH_CONTEXT, Bytes,
          ::quorvantile_log::leaf::key_history_entry_hash_with_context,
          "Returns the 64-byte entry hash of a version-1 key-history entry under the caller's context "
          "label, which must have the form segment/segment/v<digits>.",
          (context, String, "The context label, of the form segment/segment/v<digits> (printable ASCII segments)."),
          QV_KEY_HISTORY_V1_ENTRY_ARGS)
