// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "coniks/verify.hpp"

#include <algorithm>

#include "coniks/namespace.hpp"
#include "coniks/proofs.hpp"
#include "coniks/tree_hasher.hpp"
#include "coniks/verified_index.hpp"
#include "commitment/commitment.hpp"

namespace quorvantile_log::coniks {
namespace {

using quorvantile_crypto::Bytes;
using quorvantile_crypto::ByteView;

VerifyError fail(const Error& error) { return VerifyError::from(error); }

const VerifyError& bad_root() {
  static const VerifyError error{"coniks root must be exactly 64 bytes"};
  return error;
}

}  // namespace

ExportResult<Bytes> coniks_verify_lookup(std::string_view ns_text, ByteView vrf_public, ByteView root,
                                         ByteView identity, ByteView proof_bytes) {
  auto ns = Namespace::parse(ns_text);
  if (!ns) return std::unexpected(fail(ns.error()));
  if (root.size() != kHashSize) return std::unexpected(bad_root());
  auto proof = LookupProof::parse(proof_bytes);
  if (!proof) return std::unexpected(fail(proof.error()));
  auto index = verified_index(*ns, vrf_public, identity, proof->vrf_proof);
  if (!index) return std::unexpected(fail(index.error()));
  TreeHasher hasher(*ns);
  const Hash64 commitment =
      commitment::commit_with_opening(hasher.digest_context(), ns->text() + "/coniks-commitment/v1", proof->value,
                                      proof->opening.first<kOpeningSize>());
  const Hash64 leaf = hasher.leaf_hash(*index, commitment);
  if (!std::ranges::equal(hasher.recompute_root(leaf, *index, proof->path), root)) {
    return std::unexpected(fail(Error::coniks_root_mismatch()));
  }
  return Bytes(proof->value.begin(), proof->value.end());
}

ExportResult<void> coniks_verify_absence(std::string_view ns_text, ByteView vrf_public, ByteView root,
                                         ByteView identity, ByteView proof_bytes) {
  auto ns = Namespace::parse(ns_text);
  if (!ns) return std::unexpected(fail(ns.error()));
  if (root.size() != kHashSize) return std::unexpected(bad_root());
  auto proof = AbsenceProof::parse(proof_bytes);
  if (!proof) return std::unexpected(fail(proof.error()));
  auto index = verified_index(*ns, vrf_public, identity, proof->vrf_proof);
  if (!index) return std::unexpected(fail(index.error()));
  TreeHasher hasher(*ns);
  if (!std::ranges::equal(hasher.recompute_root(hasher.empty(kDepth), *index, proof->path), root)) {
    return std::unexpected(fail(Error::coniks_root_mismatch()));
  }
  return {};
}

}  // namespace quorvantile_log::coniks
