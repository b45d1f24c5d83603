// Exports of the RFC 6962 proof verifications.
#include "ffi/declare.hpp"
#include "merkle/merkle.hpp"

QV_EXPORT(verify_inclusion, VERIFY_INCLUSION, Void, ::quorvantile_log::merkle::verify_inclusion,
          "Verifies an RFC 6962 inclusion proof: that the leaf hash at `index` is in the tree of `size` "
          "leaves whose root hash is `root`. Fails with the first failing check: root length, index "
          "beyond size, leaf-hash length, proof size, proof element length, root mismatch.",
          (index, U64, "The leaf's index, counting from 0."),
          (size, U64, "The tree size: the number of leaves."),
          (leaf_hash, Bytes, "The 32-byte RFC 6962 leaf hash: SHA-256 of a zero byte followed by the leaf data."),
          (proof, BytesList, "The inclusion proof: the 32-byte sibling hashes from the leaf up to the root."),
          (root, Bytes, "The 32-byte root hash of the tree of `size` leaves."))

QV_EXPORT(verify_consistency, VERIFY_CONSISTENCY, Void, ::quorvantile_log::merkle::verify_consistency,
          "Verifies an RFC 6962 consistency proof: that the tree of `size1` leaves with root `root1` is a "
          "prefix of the tree of `size2` leaves with root `root2`.",
          (size1, U64, "The older tree's size."),
          (size2, U64, "The newer tree's size, at least size1."),
          (proof, BytesList, "The consistency proof: 32-byte node hashes."),
          (root1, Bytes, "The 32-byte root hash of the older tree."),
          (root2, Bytes, "The 32-byte root hash of the newer tree."))
