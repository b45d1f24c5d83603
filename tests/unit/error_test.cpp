// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include <gtest/gtest.h>

#include "error/error.hpp"

namespace quorvantile_log {
namespace {

struct RenderCase {
  Error error;
  std::string message;
};

TEST(ErrorRender, EveryKindHasItsFixedForm) {
  const RenderCase cases[] = {
      {Error::leaf_index_beyond_size(5, 5), "leaf index 5 is beyond tree size 5"},
      {Error::wrong_proof_size(1, 2), "wrong proof size: got 1, want 2"},
      {Error::invalid_hash_length(31, 32), "invalid hash length: got 31 bytes, want 32"},
      {Error::root_mismatch(), "root mismatch: recomputed root does not match the expected root"},
      {Error::empty_tree_consistency(), "consistency proof from an empty tree is meaningless"},
      {Error::tree_size_regression(8, 3), "tree size regression: size2 (3) < size1 (8)"},
      {Error::non_empty_equal_size_proof(), "consistency proof between equal sizes must be empty"},
      {Error::malformed_leaf("x"), "malformed canonical leaf: x"},
      {Error::malformed_checkpoint("missing root-hash line"), "malformed checkpoint: missing root-hash line"},
      {Error::malformed_note("invalid base64 character"), "malformed signed note: invalid base64 character"},
      {Error::invalid_signature("alpha", 0x1a2b), "invalid signature for known key \"alpha\" (key id 00001a2b)"},
      {Error::no_trusted_signature(), "note has no verifiable signature from a trusted key"},
      {Error::malformed_namespace("d"), "malformed namespace: d"},
      {Error::vrf("invalid length: expected 32 bytes, got 31"), "vrf error: invalid length: expected 32 bytes, got 31"},
      {Error::vrf_proof_invalid(), "vrf proof did not verify against the namespace public key"},
      {Error::commitment_mismatch(), "commitment did not open to the claimed value"},
      {Error::malformed_coniks_proof("d"), "malformed coniks proof: d"},
      {Error::coniks_root_mismatch(),
       "coniks proof root mismatch: recomputed directory root does not match the expected root"},
      {Error::malformed_policy(""), "malformed namespace policy: "},
      {Error::posture_mismatch("Cat5", "Cat3"), "posture mismatch: declared Cat5, observed Cat3"},
      {Error::malformed_keytrans("d"), "malformed keytrans structure: d"},
      {Error::keytrans_root_mismatch(), "keytrans proof root mismatch: recomputed root does not match the expected root"},
      {Error::invalid_signature("x", 0xffffffff), "invalid signature for known key \"x\" (key id ffffffff)"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.error.render(), c.message);
}

}  // namespace
}  // namespace quorvantile_log
