// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// RFC 6962 Merkle-tree hashing and the verification of inclusion and consistency proofs.
#include <cstdint>
#include <span>
#include <vector>

#include "error/error.hpp"
#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_log::merkle {

using quorvantile_crypto::Bytes;
using quorvantile_crypto::ByteView;
using quorvantile_crypto::Hash32;

// SHA-256(0x00 || data).
Hash32 hash_leaf(ByteView data);
// SHA-256(0x01 || left || right).
Hash32 hash_node(const Hash32& left, const Hash32& right);

// Checks in a fixed order: root length, index < size, leaf-hash length, proof size, element
// lengths, then the recomputed root.
Result<void> verify_inclusion(uint64_t index, uint64_t size, ByteView leaf_hash, std::span<const ByteView> proof,
                              ByteView root);

// Checks in a fixed order: root2 length, size ordering, empty tree, root1 length, equal sizes,
// proof size and element lengths, then both recomputed roots.
Result<void> verify_consistency(uint64_t size1, uint64_t size2, std::span<const ByteView> proof, ByteView root1,
                                ByteView root2);

}  // namespace quorvantile_log::merkle
