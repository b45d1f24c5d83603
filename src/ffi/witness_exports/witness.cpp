// Exports of witness quorum policies, cosigned checkpoints and proof bundles.
#include "quorvantile_witness.h"
#include "ffi/witness_exports/declare.hpp"
#include "witness/operations.hpp"

QV_WITNESS_EXPORT(witness_policy_parse, WITNESS_POLICY_PARSE, WitnessPolicyResult,
                  ::quorvantile_log::witness::witness_policy_parse,
                  "Parses a witness quorum policy (log, witness, group and quorum lines) and describes it: the "
                  "log key names, the witness names, the groups with their resolved thresholds, and the quorum.",
                  (policy, String, "The witness quorum policy text: log, witness, group and quorum lines."))

QV_WITNESS_EXPORT(checkpoint_verify_cosigned, CHECKPOINT_VERIFY_COSIGNED, CosignedCheckpointResult,
                  ::quorvantile_log::witness::checkpoint_verify_cosigned,
                  "Verifies a checkpoint note under a witness quorum policy: the policy is parsed first, the "
                  "signature of the log whose key name is the checkpoint's origin must verify, and the witness "
                  "cosignatures that verify must satisfy the quorum. Returns the checkpoint with the witnesses "
                  "that counted, those that did not and why, and the range of counted timestamps.",
                  (note_text, String, "The checkpoint note: the body, a blank line, then the log's signature "
                   "line and the witnesses' cosignature lines."),
                  (policy, String, "The witness quorum policy text: log, witness, group and quorum lines."))

QV_WITNESS_EXPORT(checkpoint_verify_cosigned_consistency, CHECKPOINT_VERIFY_COSIGNED_CONSISTENCY, Void,
                  ::quorvantile_log::witness::checkpoint_verify_cosigned_consistency,
                  "Verifies two checkpoint notes of the same log under a witness quorum policy, then an RFC "
                  "6962 consistency proof from the older checkpoint's tree to the newer one's.",
                  (older_note, String, "The cosigned checkpoint note of the older tree."),
                  (newer_note, String, "The cosigned checkpoint note of the newer tree, of at least the older "
                   "tree's size."),
                  (policy, String, "The witness quorum policy text: log, witness, group and quorum lines."),
                  (proof, BytesList, "The consistency proof: 32-byte node hashes."))

QV_WITNESS_EXPORT(tlog_proof_verify, TLOG_PROOF_VERIFY, TlogProofResult, ::quorvantile_log::witness::tlog_proof_verify,
                  "Verifies a proof bundle under a witness quorum policy: its checkpoint as "
                  "checkpoint_verify_cosigned does, then the RFC 6962 inclusion of the 32-byte `leaf_hash` at "
                  "the bundle's index. Returns the index, the unauthenticated extra data and the checkpoint.",
                  (proof_text, String, "The proof bundle: its header line, an optional extra line, the index line, "
                   "the inclusion proof hashes, an empty line, then the cosigned checkpoint note."),
                  (policy, String, "The witness quorum policy text: log, witness, group and quorum lines."),
                  (leaf_hash, Bytes, "The 32-byte RFC 6962 leaf hash: SHA-256 of a zero byte followed by the leaf "
                   "data."))
