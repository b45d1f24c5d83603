// Exports of checkpoint parsing and verification.
#include "checkpoint/operations.hpp"
#include "ffi/declare.hpp"

QV_EXPORT(checkpoint_parse, CHECKPOINT_PARSE, CheckpointHeadResult, ::quorvantile_log::checkpoint::checkpoint_parse,
          "Parses a checkpoint body (origin, tree size, base64 root hash, extension lines) without "
          "any signature.",
          (body_text, String, "The checkpoint body: origin line, decimal tree size line, base64 root hash line, then "
           "any extension lines, each ending in a line feed."))

QV_EXPORT(checkpoint_verify, CHECKPOINT_VERIFY, CheckpointHeadResult, ::quorvantile_log::checkpoint::checkpoint_verify,
          "Verifies a signed checkpoint against the trusted verifier keys `vkeys` and returns its head.",
          (note_text, String, "The signed note: the checkpoint body, a blank line, then one signature line per "
           "signer."),
          (vkeys, StringList, "The trusted verifier keys, one text each: key name, '+', the 8-hex-digit key id, '+', "
           "base64 of the key type byte and key."))

QV_EXPORT(checkpoint_verify_inclusion, CHECKPOINT_VERIFY_INCLUSION, Void,
          ::quorvantile_log::checkpoint::checkpoint_verify_inclusion,
          "Verifies a signed checkpoint, then an RFC 6962 inclusion proof of the leaf hash at "
          "`leaf_index` against the checkpoint's tree size and root.",
          (note_text, String, "The signed note: the checkpoint body, a blank line, then one signature line per "
           "signer."),
          (vkeys, StringList, "The trusted verifier keys, one text each: key name, '+', the 8-hex-digit key id, '+', "
           "base64 of the key type byte and key."),
          (leaf_index, U64, "The leaf's index in the log, counting from 0."),
          (leaf_hash, Bytes, "The 32-byte RFC 6962 leaf hash: SHA-256 of a zero byte followed by the leaf data."),
          (proof, BytesList, "The inclusion proof: the 32-byte sibling hashes from the leaf up to the root."))

QV_EXPORT(checkpoint_verify_consistency, CHECKPOINT_VERIFY_CONSISTENCY, Void,
          ::quorvantile_log::checkpoint::checkpoint_verify_consistency,
          "Verifies two signed checkpoints against the same keys, then an RFC 6962 consistency proof "
          "from the older checkpoint's tree to the newer one's.",
          (older_note, String, "The signed checkpoint note of the older tree."),
          (newer_note, String, "The signed checkpoint note of the newer tree, of at least the older tree's size."),
          (vkeys, StringList, "The trusted verifier keys, one text each: key name, '+', the 8-hex-digit key id, '+', "
           "base64 of the key type byte and key."),
          (proof, BytesList, "The consistency proof: 32-byte node hashes."))
