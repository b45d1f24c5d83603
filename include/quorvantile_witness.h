/* quorvantile_witness: C interface of the witness component (foreign-call ABI, contract version
 * 30). It verifies witness cosignatures on checkpoints under a witness quorum policy, and offline
 * proof bundles (a leaf's inclusion proof with its cosigned checkpoint).
 *
 * The calling convention is the log library's (quorvantile_log.h): every fallible function takes
 * a RustCallStatus pointer as its last argument, initialised to code 0 and an empty error_buf.
 * On return, code 0 means success (the status is not written); 1 means the function's error
 * WitnessError was raised (error_buf holds it encoded: a big-endian i32 variant number, then the
 * message as a big-endian i32 byte count and UTF-8 bytes); 2 means an unexpected failure
 * (error_buf holds the message as raw UTF-8); 3 means cancelled. Buffers belong to the component
 * that made them: release every non-empty error_buf and every returned RustBuffer of these
 * functions with ffi_quorvantile_witness_rustbuffer_free, and build arguments with
 * ffi_quorvantile_witness_rustbuffer_from_bytes. RustBuffer arguments are consumed by the call.
 *
 * The variant tells what to fix: QVW_ERROR_VERIFICATION (1) a well-formed input that did not
 * verify, QVW_ERROR_MALFORMED_POLICY (2) a malformed witness quorum policy (a configuration
 * mistake), QVW_ERROR_MALFORMED_INPUT (3) a checkpoint note, proof bundle or leaf hash that is
 * not well formed.
 *
 * Text arguments (`policy`, `note_text`, `older_note`, `newer_note`, `proof_text`) are
 * RustBuffers holding the UTF-8 bytes themselves. `leaf_hash` is an encoded sequence<u8>
 * (big-endian i32 count, then the bytes); `proof` an encoded sequence<sequence<u8>>.
 *
 * Records come back as RustBuffers holding one encoded value, fields in this order (strings and
 * sequences carry a big-endian i32 count, integers are big-endian, an optional is a tag byte 0
 * or 1 followed by the value when 1):
 *   WitnessPolicy:      log_key_names sequence<string>, witness_names sequence<string>,
 *                       groups sequence<WitnessGroup>, quorum string
 *   WitnessGroup:       name string, threshold u64, members sequence<string>
 *   CosignedCheckpoint: checkpoint CheckpointHead, log_key_name string,
 *                       counted_witnesses sequence<string>,
 *                       rejected_witnesses sequence<RejectedWitness>,
 *                       oldest_timestamp optional<u64>, newest_timestamp optional<u64>
 *   CheckpointHead:     origin string, size u64, root sequence<u8>, extensions sequence<string>
 *   RejectedWitness:    name string, reason string
 *   TlogProof:          index u64, extra optional<sequence<u8>>, checkpoint CosignedCheckpoint */
#ifndef QUORVANTILE_WITNESS_H
#define QUORVANTILE_WITNESS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The records of the foreign-call ABI, shared with the log library's header (either header may
 * come first). */
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

/* The variant numbers of WitnessError. */
enum {
  QVW_ERROR_VERIFICATION = 1,
  QVW_ERROR_MALFORMED_POLICY = 2,
  QVW_ERROR_MALFORMED_INPUT = 3,
};

/* Buffers and version. */
RustBuffer ffi_quorvantile_witness_rustbuffer_alloc(uint64_t size, RustCallStatus* status);
RustBuffer ffi_quorvantile_witness_rustbuffer_from_bytes(ForeignBytes bytes, RustCallStatus* status);
void ffi_quorvantile_witness_rustbuffer_free(RustBuffer buf, RustCallStatus* status);
RustBuffer ffi_quorvantile_witness_rustbuffer_reserve(RustBuffer buf, uint64_t additional, RustCallStatus* status);
uint32_t ffi_quorvantile_witness_uniffi_contract_version(void);

/* Witness quorum policies, cosigned checkpoints and proof bundles. */
RustBuffer uniffi_quorvantile_witness_fn_func_witness_policy_parse(RustBuffer policy, RustCallStatus* status);
RustBuffer uniffi_quorvantile_witness_fn_func_checkpoint_verify_cosigned(RustBuffer note_text, RustBuffer policy,
                                                                         RustCallStatus* status);
void uniffi_quorvantile_witness_fn_func_checkpoint_verify_cosigned_consistency(RustBuffer older_note,
                                                                               RustBuffer newer_note,
                                                                               RustBuffer policy, RustBuffer proof,
                                                                               RustCallStatus* status);
RustBuffer uniffi_quorvantile_witness_fn_func_tlog_proof_verify(RustBuffer proof_text, RustBuffer policy,
                                                                RustBuffer leaf_hash, RustCallStatus* status);
uint16_t uniffi_quorvantile_witness_checksum_func_witness_policy_parse(void);
uint16_t uniffi_quorvantile_witness_checksum_func_checkpoint_verify_cosigned(void);
uint16_t uniffi_quorvantile_witness_checksum_func_checkpoint_verify_cosigned_consistency(void);
uint16_t uniffi_quorvantile_witness_checksum_func_tlog_proof_verify(void);

/* Asynchronous call handles. The component has no asynchronous function; these exist because
 * generated bindings resolve them. */
#define QVW_DECLARE_FUTURE_FAMILY(kind, ctype)                                                          \
  void ffi_quorvantile_witness_rust_future_poll_##kind(uint64_t handle, RustFutureContinuationCallback callback, \
                                                       uint64_t callback_data);                         \
  void ffi_quorvantile_witness_rust_future_cancel_##kind(uint64_t handle);                              \
  ctype ffi_quorvantile_witness_rust_future_complete_##kind(uint64_t handle, RustCallStatus* status);   \
  void ffi_quorvantile_witness_rust_future_free_##kind(uint64_t handle);

QVW_DECLARE_FUTURE_FAMILY(u8, uint8_t)
QVW_DECLARE_FUTURE_FAMILY(i8, int8_t)
QVW_DECLARE_FUTURE_FAMILY(u16, uint16_t)
QVW_DECLARE_FUTURE_FAMILY(i16, int16_t)
QVW_DECLARE_FUTURE_FAMILY(u32, uint32_t)
QVW_DECLARE_FUTURE_FAMILY(i32, int32_t)
QVW_DECLARE_FUTURE_FAMILY(u64, uint64_t)
QVW_DECLARE_FUTURE_FAMILY(i64, int64_t)
QVW_DECLARE_FUTURE_FAMILY(f32, float)
QVW_DECLARE_FUTURE_FAMILY(f64, double)
QVW_DECLARE_FUTURE_FAMILY(rust_buffer, RustBuffer)
QVW_DECLARE_FUTURE_FAMILY(void, void)

#undef QVW_DECLARE_FUTURE_FAMILY

#ifdef __cplusplus
}
#endif

#endif /* QUORVANTILE_WITNESS_H */
