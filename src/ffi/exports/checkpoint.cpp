// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Exports of checkpoint parsing and verification.
#include "checkpoint/operations.hpp"
#include "ffi/declare.hpp"

QV_EXPORT(checkpoint_parse, CHECKPOINT_PARSE, CheckpointHeadResult, ::quorvantile_log::checkpoint::checkpoint_parse,
          "Parses a checkpoint body (origin, tree size, base64 root hash, extension lines) without "
          "any signature.",
          (body_text, String))

QV_EXPORT(checkpoint_verify, CHECKPOINT_VERIFY, CheckpointHeadResult, ::quorvantile_log::checkpoint::checkpoint_verify,
          "Verifies a signed checkpoint against the trusted verifier keys `vkeys` and returns its head.",
          (note_text, String), (vkeys, StringList))

QV_EXPORT(checkpoint_verify_inclusion, CHECKPOINT_VERIFY_INCLUSION, Void,
          ::quorvantile_log::checkpoint::checkpoint_verify_inclusion,
          "Verifies a signed checkpoint, then an RFC 6962 inclusion proof of the leaf hash at "
          "`leaf_index` against the checkpoint's tree size and root.",
          (note_text, String), (vkeys, StringList), (leaf_index, U64), (leaf_hash, Bytes), (proof, BytesList))

QV_EXPORT(checkpoint_verify_consistency, CHECKPOINT_VERIFY_CONSISTENCY, Void,
          ::quorvantile_log::checkpoint::checkpoint_verify_consistency,
          "Verifies two signed checkpoints against the same keys, then an RFC 6962 consistency proof "
          "from the older checkpoint's tree to the newer one's.",
          (older_note, String), (newer_note, String), (vkeys, StringList), (proof, BytesList))
