// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Exports of the RFC 6962 proof verifications.
#include "ffi/declare.hpp"
#include "merkle/merkle.hpp"

QV_EXPORT(verify_inclusion, VERIFY_INCLUSION, Void, ::quorvantile_log::merkle::verify_inclusion,
          "Verifies an RFC 6962 inclusion proof: that the leaf hash at `index` is in the tree of `size` "
          "leaves whose root hash is `root`. Fails with the first failing check: root length, index "
          "beyond size, leaf-hash length, proof size, proof element length, root mismatch.",
          (index, U64), (size, U64), (leaf_hash, Bytes), (proof, BytesList), (root, Bytes))

QV_EXPORT(verify_consistency, VERIFY_CONSISTENCY, Void, ::quorvantile_log::merkle::verify_consistency,
          "Verifies an RFC 6962 consistency proof: that the tree of `size1` leaves with root `root1` is a "
          "prefix of the tree of `size2` leaves with root `root2`.",
          (size1, U64), (size2, U64), (proof, BytesList), (root1, Bytes), (root2, Bytes))
