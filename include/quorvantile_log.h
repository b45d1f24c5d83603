// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

/* quorvantile_log: C interface (foreign-call ABI, contract version 30).
 *
 * Every fallible function takes a RustCallStatus pointer as its last argument. Initialise it to
 * code 0 and an empty error_buf. On return, code 0 means success (the status is not written);
 * 1 means the function's error VerifyError was raised (error_buf holds it encoded: a big-endian
 * i32 variant number 1, then the message as a big-endian i32 byte count and UTF-8 bytes);
 * 2 means an unexpected failure (error_buf holds the message as raw UTF-8); 3 means cancelled.
 * Release every non-empty error_buf and every returned RustBuffer with
 * ffi_quorvantile_log_rustbuffer_free. RustBuffer arguments are consumed by the call. */
#ifndef QUORVANTILE_LOG_H
#define QUORVANTILE_LOG_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The records of the foreign-call ABI, shared with the witness component's header (either header
 * may come first). */
#ifndef QUORVANTILE_ABI_RECORDS
#define QUORVANTILE_ABI_RECORDS
typedef struct RustBuffer {
  uint64_t capacity;
  uint64_t len;
  uint8_t* data;
} RustBuffer;

typedef struct ForeignBytes {
  int32_t len;
  const uint8_t* data;
} ForeignBytes;

typedef struct RustCallStatus {
  int8_t code;
  RustBuffer error_buf;
} RustCallStatus;

enum {
  QV_CALL_SUCCESS = 0,
  QV_CALL_ERROR = 1,
  QV_CALL_UNEXPECTED_ERROR = 2,
  QV_CALL_CANCELLED = 3,
};

/* The continuation of an asynchronous call handle. */
typedef void (*RustFutureContinuationCallback)(uint64_t callback_data, int8_t poll_code);
#endif /* QUORVANTILE_ABI_RECORDS */

/* Buffers and version. */
RustBuffer ffi_quorvantile_log_rustbuffer_alloc(uint64_t size, RustCallStatus* status);
RustBuffer ffi_quorvantile_log_rustbuffer_from_bytes(ForeignBytes bytes, RustCallStatus* status);
void ffi_quorvantile_log_rustbuffer_free(RustBuffer buf, RustCallStatus* status);
RustBuffer ffi_quorvantile_log_rustbuffer_reserve(RustBuffer buf, uint64_t additional, RustCallStatus* status);
uint32_t ffi_quorvantile_log_uniffi_contract_version(void);

/* RFC 6962 Merkle proofs. `proof` is an encoded sequence<bytes>; the other buffers are
 * encoded sequence<u8>. */
void uniffi_quorvantile_log_fn_func_verify_inclusion(uint64_t index, uint64_t size, RustBuffer leaf_hash,
                                                     RustBuffer proof, RustBuffer root, RustCallStatus* status);
void uniffi_quorvantile_log_fn_func_verify_consistency(uint64_t size1, uint64_t size2, RustBuffer proof,
                                                       RustBuffer root1, RustBuffer root2, RustCallStatus* status);
uint16_t uniffi_quorvantile_log_checksum_func_verify_inclusion(void);
uint16_t uniffi_quorvantile_log_checksum_func_verify_consistency(void);

/* Signed notes and checkpoints. Text arguments (`note_text`, `body_text`, `older_note`,
 * `newer_note`) are RustBuffers holding the UTF-8 bytes themselves; `vkeys` is an encoded
 * sequence<string>; `leaf_hash` an encoded sequence<u8>; `proof` an encoded sequence<bytes>.
 * checkpoint_parse and checkpoint_verify return an encoded CheckpointHead record: origin
 * (string), size (u64), root (sequence<u8>, 32 bytes), extensions (sequence<string>). */
uint32_t uniffi_quorvantile_log_fn_func_verify_signed_note(RustBuffer note_text, RustBuffer vkeys,
                                                          RustCallStatus* status);
RustBuffer uniffi_quorvantile_log_fn_func_checkpoint_parse(RustBuffer body_text, RustCallStatus* status);
RustBuffer uniffi_quorvantile_log_fn_func_checkpoint_verify(RustBuffer note_text, RustBuffer vkeys,
                                                            RustCallStatus* status);
void uniffi_quorvantile_log_fn_func_checkpoint_verify_inclusion(RustBuffer note_text, RustBuffer vkeys,
                                                                uint64_t leaf_index, RustBuffer leaf_hash,
                                                                RustBuffer proof, RustCallStatus* status);
void uniffi_quorvantile_log_fn_func_checkpoint_verify_consistency(RustBuffer older_note, RustBuffer newer_note,
                                                                  RustBuffer vkeys, RustBuffer proof,
                                                                  RustCallStatus* status);
uint16_t uniffi_quorvantile_log_checksum_func_verify_signed_note(void);
uint16_t uniffi_quorvantile_log_checksum_func_checkpoint_parse(void);
uint16_t uniffi_quorvantile_log_checksum_func_checkpoint_verify(void);
uint16_t uniffi_quorvantile_log_checksum_func_checkpoint_verify_inclusion(void);
uint16_t uniffi_quorvantile_log_checksum_func_checkpoint_verify_consistency(void);

/* Commitments. `context` is a RustBuffer holding the UTF-8 bytes; `commitment`, `value` and
 * `opening` are encoded sequence<u8>. */
void uniffi_quorvantile_log_fn_func_verify_commitment(RustBuffer context, RustBuffer commitment, RustBuffer value,
                                                      RustBuffer opening, RustCallStatus* status);
uint16_t uniffi_quorvantile_log_checksum_func_verify_commitment(void);

/* CONIKS directory proofs. `namespace` is a RustBuffer holding the UTF-8 bytes; `vrf_public`,
 * `root`, `identity` and `proof` are encoded sequence<u8>. coniks_verify_lookup returns the proven
 * value as an encoded sequence<u8>. */
RustBuffer uniffi_quorvantile_log_fn_func_coniks_verify_lookup(RustBuffer namespace_, RustBuffer vrf_public,
                                                               RustBuffer root, RustBuffer identity, RustBuffer proof,
                                                               RustCallStatus* status);
void uniffi_quorvantile_log_fn_func_coniks_verify_absence(RustBuffer namespace_, RustBuffer vrf_public, RustBuffer root,
                                                          RustBuffer identity, RustBuffer proof,
                                                          RustCallStatus* status);
uint16_t uniffi_quorvantile_log_checksum_func_coniks_verify_lookup(void);
uint16_t uniffi_quorvantile_log_checksum_func_coniks_verify_absence(void);

/* Key-history entries. `enc_x25519`, `enc_pq` and `signing_pub` are encoded sequence<u8>;
 * `prev_entry_hash` an encoded optional<sequence<u8>> (tag byte 0 or 1, then the bytes), where a
 * missing or empty hash marks the first entry of a chain; `context` holds the UTF-8 bytes of a
 * label. Each returns an encoded sequence<u8>: the canonical bytes, the 64-byte entry hash, or the
 * 32-byte RFC 6962 leaf hash. */
RustBuffer uniffi_quorvantile_log_fn_func_key_history_v1_canonical_bytes(uint64_t seq, uint64_t ts_ms,
                                                                         RustBuffer enc_x25519, RustBuffer enc_pq,
                                                                         RustBuffer signing_pub,
                                                                         RustBuffer prev_entry_hash,
                                                                         RustCallStatus* status);
RustBuffer uniffi_quorvantile_log_fn_func_key_history_v1_entry_hash(uint64_t seq, uint64_t ts_ms, RustBuffer enc_x25519,
                                                                    RustBuffer enc_pq, RustBuffer signing_pub,
                                                                    RustBuffer prev_entry_hash, RustCallStatus* status);
RustBuffer uniffi_quorvantile_log_fn_func_key_history_v1_rfc6962_leaf_hash(uint64_t seq, uint64_t ts_ms,
                                                                           RustBuffer enc_x25519, RustBuffer enc_pq,
                                                                           RustBuffer signing_pub,
                                                                           RustBuffer prev_entry_hash,
                                                                           RustCallStatus* status);
RustBuffer uniffi_quorvantile_log_fn_func_key_history_entry_hash_with_context(RustBuffer context, uint64_t seq,
                                                                              uint64_t ts_ms, RustBuffer enc_x25519,
                                                                              RustBuffer enc_pq, RustBuffer signing_pub,
                                                                              RustBuffer prev_entry_hash,
                                                                              RustCallStatus* status);
uint16_t uniffi_quorvantile_log_checksum_func_key_history_v1_canonical_bytes(void);
uint16_t uniffi_quorvantile_log_checksum_func_key_history_v1_entry_hash(void);
uint16_t uniffi_quorvantile_log_checksum_func_key_history_v1_rfc6962_leaf_hash(void);
uint16_t uniffi_quorvantile_log_checksum_func_key_history_entry_hash_with_context(void);
/* Key-transparency proofs. `context` is a RustBuffer holding the UTF-8 bytes themselves;
 * `vrf_public`, `root`, `label` and `proof` are encoded sequence<u8>. The search and
 * fixed-version functions return an encoded SearchResult record: present (bool as one byte),
 * value (optional<sequence<u8>>). `suite_id` is 0x0001, 0x0002 or 0xF000 (the default). */
RustBuffer uniffi_quorvantile_log_fn_func_keytrans_verify_search(RustBuffer context, RustBuffer vrf_public,
                                                                 RustBuffer root, RustBuffer label, RustBuffer proof,
                                                                 RustCallStatus* status);
RustBuffer uniffi_quorvantile_log_fn_func_keytrans_verify_search_suite(uint16_t suite_id, RustBuffer context,
                                                                       RustBuffer vrf_public, RustBuffer root,
                                                                       RustBuffer label, RustBuffer proof,
                                                                       RustCallStatus* status);
void uniffi_quorvantile_log_fn_func_keytrans_verify_monitor(RustBuffer context, RustBuffer vrf_public, RustBuffer root,
                                                            RustBuffer label, RustBuffer proof, RustCallStatus* status);
void uniffi_quorvantile_log_fn_func_keytrans_verify_monitor_suite(uint16_t suite_id, RustBuffer context,
                                                                  RustBuffer vrf_public, RustBuffer root,
                                                                  RustBuffer label, RustBuffer proof,
                                                                  RustCallStatus* status);
RustBuffer uniffi_quorvantile_log_fn_func_keytrans_verify_fixed_version(RustBuffer context, RustBuffer vrf_public,
                                                                        RustBuffer root, RustBuffer label,
                                                                        RustBuffer proof, RustCallStatus* status);
RustBuffer uniffi_quorvantile_log_fn_func_keytrans_verify_fixed_version_suite(uint16_t suite_id, RustBuffer context,
                                                                              RustBuffer vrf_public, RustBuffer root,
                                                                              RustBuffer label, RustBuffer proof,
                                                                              RustCallStatus* status);
uint16_t uniffi_quorvantile_log_checksum_func_keytrans_verify_search(void);
uint16_t uniffi_quorvantile_log_checksum_func_keytrans_verify_search_suite(void);
uint16_t uniffi_quorvantile_log_checksum_func_keytrans_verify_monitor(void);
uint16_t uniffi_quorvantile_log_checksum_func_keytrans_verify_monitor_suite(void);
uint16_t uniffi_quorvantile_log_checksum_func_keytrans_verify_fixed_version(void);
uint16_t uniffi_quorvantile_log_checksum_func_keytrans_verify_fixed_version_suite(void);
/* Signed namespace policies. `envelope` is an encoded sequence<u8>; `signature` and
 * `public_key` are RustBuffers holding the token text itself; `observed` is an encoded
 * CommitmentHash (i32 variant number: 1 Sha3_256, 2 Sha3_512). signed_policy_verify returns an
 * encoded PolicyPosture record: namespace (string), policy_schema_version (u32), security_level,
 * checkpoint_suite, commitment_hash, vrf_mode, directory_mode, keytrans_suite (i32 variant
 * numbers each), effective_from (u64), created_at (u64), policy_hash (sequence<u8>, 64 bytes),
 * rfc6962_leaf_hash (sequence<u8>, 32 bytes). */
RustBuffer uniffi_quorvantile_log_fn_func_signed_policy_verify(RustBuffer envelope, RustCallStatus* status);
void uniffi_quorvantile_log_fn_func_policy_enforce_checkpoint_signature(RustBuffer envelope, RustBuffer signature,
                                                                        RustCallStatus* status);
void uniffi_quorvantile_log_fn_func_policy_enforce_checkpoint_signing_key(RustBuffer envelope, RustBuffer public_key,
                                                                          RustCallStatus* status);
void uniffi_quorvantile_log_fn_func_policy_enforce_commitment_hash(RustBuffer envelope, RustBuffer observed,
                                                                   RustCallStatus* status);
void uniffi_quorvantile_log_fn_func_policy_enforce_directory_backend(RustBuffer envelope, uint16_t observed_backend_id,
                                                                     RustCallStatus* status);
void uniffi_quorvantile_log_fn_func_policy_enforce_vrf_suite_id(RustBuffer envelope, uint8_t observed_suite_id,
                                                                RustCallStatus* status);
uint16_t uniffi_quorvantile_log_checksum_func_signed_policy_verify(void);
uint16_t uniffi_quorvantile_log_checksum_func_policy_enforce_checkpoint_signature(void);
uint16_t uniffi_quorvantile_log_checksum_func_policy_enforce_checkpoint_signing_key(void);
uint16_t uniffi_quorvantile_log_checksum_func_policy_enforce_commitment_hash(void);
uint16_t uniffi_quorvantile_log_checksum_func_policy_enforce_directory_backend(void);
uint16_t uniffi_quorvantile_log_checksum_func_policy_enforce_vrf_suite_id(void);

/* Asynchronous call handles. The library has no asynchronous function; these exist because
 * generated bindings resolve them. */

#define QV_DECLARE_FUTURE_FAMILY(kind, ctype)                                                        \
  void ffi_quorvantile_log_rust_future_poll_##kind(uint64_t handle, RustFutureContinuationCallback callback, \
                                                   uint64_t callback_data);                          \
  void ffi_quorvantile_log_rust_future_cancel_##kind(uint64_t handle);                               \
  ctype ffi_quorvantile_log_rust_future_complete_##kind(uint64_t handle, RustCallStatus* status);    \
  void ffi_quorvantile_log_rust_future_free_##kind(uint64_t handle);

QV_DECLARE_FUTURE_FAMILY(u8, uint8_t)
QV_DECLARE_FUTURE_FAMILY(i8, int8_t)
QV_DECLARE_FUTURE_FAMILY(u16, uint16_t)
QV_DECLARE_FUTURE_FAMILY(i16, int16_t)
QV_DECLARE_FUTURE_FAMILY(u32, uint32_t)
QV_DECLARE_FUTURE_FAMILY(i32, int32_t)
QV_DECLARE_FUTURE_FAMILY(u64, uint64_t)
QV_DECLARE_FUTURE_FAMILY(i64, int64_t)
QV_DECLARE_FUTURE_FAMILY(f32, float)
QV_DECLARE_FUTURE_FAMILY(f64, double)
QV_DECLARE_FUTURE_FAMILY(rust_buffer, RustBuffer)
QV_DECLARE_FUTURE_FAMILY(void, void)

#undef QV_DECLARE_FUTURE_FAMILY

#ifdef __cplusplus
}
#endif

#endif /* QUORVANTILE_LOG_H */
