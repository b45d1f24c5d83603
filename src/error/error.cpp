// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "error/error.hpp"

#include <utility>

#include "encoding/key_id_hex.hpp"

namespace quorvantile_log {

Error Error::leaf_index_beyond_size(uint64_t index, uint64_t size) { return Error(Kind::LeafIndexBeyondSize, {}, {}, index, size); }
Error Error::wrong_proof_size(std::size_t got, std::size_t want) { return Error(Kind::WrongProofSize, {}, {}, got, want); }
Error Error::invalid_hash_length(std::size_t got, std::size_t want) { return Error(Kind::InvalidHashLength, {}, {}, got, want); }
Error Error::root_mismatch() { return Error(Kind::RootMismatch); }
Error Error::empty_tree_consistency() { return Error(Kind::EmptyTreeConsistency); }
Error Error::tree_size_regression(uint64_t size1, uint64_t size2) { return Error(Kind::TreeSizeRegression, {}, {}, size1, size2); }
Error Error::non_empty_equal_size_proof() { return Error(Kind::NonEmptyEqualSizeProof); }
Error Error::malformed_leaf(std::string detail) { return Error(Kind::MalformedLeaf, std::move(detail)); }
Error Error::malformed_checkpoint(std::string detail) { return Error(Kind::MalformedCheckpoint, std::move(detail)); }
Error Error::malformed_note(std::string detail) { return Error(Kind::MalformedNote, std::move(detail)); }
Error Error::invalid_signature(std::string name, uint32_t key_id) { return Error(Kind::InvalidSignature, std::move(name), {}, key_id); }
Error Error::no_trusted_signature() { return Error(Kind::NoTrustedSignature); }
Error Error::malformed_namespace(std::string detail) { return Error(Kind::MalformedNamespace, std::move(detail)); }
Error Error::vrf(std::string detail) { return Error(Kind::Vrf, std::move(detail)); }
Error Error::vrf_proof_invalid() { return Error(Kind::VrfProofInvalid); }
Error Error::commitment_mismatch() { return Error(Kind::CommitmentMismatch); }
Error Error::malformed_coniks_proof(std::string detail) { return Error(Kind::MalformedConiksProof, std::move(detail)); }
Error Error::coniks_root_mismatch() { return Error(Kind::ConiksRootMismatch); }
Error Error::malformed_policy(std::string detail) { return Error(Kind::MalformedPolicy, std::move(detail)); }
Error Error::posture_mismatch(std::string declared, std::string observed) {
  return Error(Kind::PostureMismatch, std::move(declared), std::move(observed));
}
Error Error::malformed_keytrans(std::string detail) { return Error(Kind::MalformedKeytrans, std::move(detail)); }
Error Error::keytrans_root_mismatch() { return Error(Kind::KeytransRootMismatch); }

namespace {


}  // namespace

std::string Error::render() const {
  using std::to_string;
  switch (kind_) {
    case Kind::LeafIndexBeyondSize:
      return "leaf index " + to_string(a_) + " is beyond tree size " + to_string(b_);
    case Kind::WrongProofSize:
      return "wrong proof size: got " + to_string(a_) + ", want " + to_string(b_);
    case Kind::InvalidHashLength:
      return "invalid hash length: got " + to_string(a_) + " bytes, want " + to_string(b_);
    case Kind::RootMismatch:
      return "root mismatch: recomputed root does not match the expected root";
    case Kind::EmptyTreeConsistency:
      return "consistency proof from an empty tree is meaningless";
    case Kind::TreeSizeRegression:
      return "tree size regression: size2 (" + to_string(b_) + ") < size1 (" + to_string(a_) + ")";
    case Kind::NonEmptyEqualSizeProof:
      return "consistency proof between equal sizes must be empty";
    case Kind::MalformedLeaf:
      return "malformed canonical leaf: " + text1_;
    case Kind::MalformedCheckpoint:
      return "malformed checkpoint: " + text1_;
    case Kind::MalformedNote:
      return "malformed signed note: " + text1_;
    case Kind::InvalidSignature:
      return "invalid signature for known key " + quote(text1_) + " (key id " + encoding::hex8(static_cast<uint32_t>(a_)) + ")";
    case Kind::NoTrustedSignature:
      return "note has no verifiable signature from a trusted key";
    case Kind::MalformedNamespace:
      return "malformed namespace: " + text1_;
    case Kind::Vrf:
      return "vrf error: " + text1_;
    case Kind::VrfProofInvalid:
      return "vrf proof did not verify against the namespace public key";
    case Kind::CommitmentMismatch:
      return "commitment did not open to the claimed value";
    case Kind::MalformedConiksProof:
      return "malformed coniks proof: " + text1_;
    case Kind::ConiksRootMismatch:
      return "coniks proof root mismatch: recomputed directory root does not match the expected root";
    case Kind::MalformedPolicy:
      return "malformed namespace policy: " + text1_;
    case Kind::PostureMismatch:
      return "posture mismatch: declared " + text1_ + ", observed " + text2_;
    case Kind::MalformedKeytrans:
      return "malformed keytrans structure: " + text1_;
    case Kind::KeytransRootMismatch:
      return "keytrans proof root mismatch: recomputed root does not match the expected root";
  }
  return {};
}

}  // namespace quorvantile_log
