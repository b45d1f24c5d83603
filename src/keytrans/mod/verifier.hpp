// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The key-transparency verifier: one log entry under the combined root, then the ladder steps
// against that entry's prefix-tree root, then the revealed value against its commitment.
#include <optional>
#include <string_view>

#include "commitment/kt_suite.hpp"
#include "keytrans/tls/proof.hpp"
#include "vrf/vrf.hpp"

namespace quorvantile_log::keytrans {

namespace prefix_tree {
class Hasher;
}

// Built per call; borrows the call's context text and VRF public key.
class KeytransVerifier {
 public:
  // No validation: the VRF checks the key when a step is verified.
  static KeytransVerifier new_with_suite(std::string_view context, KtSuite suite, const vrf::Vrf& vrf,
                                         ByteView vrf_public) {
    return KeytransVerifier(context, suite, vrf, vrf_public);
  }

  KtSuite suite() const { return suite_; }

  // True when the step proves (label, step.version) included under prefix_root, false when it
  // proves it absent.
  Result<bool> check_step(const Hash32& prefix_root, ByteView label, const LadderStep& step) const;

  // The proven value of the label's greatest version, or nothing when the label has no version.
  // Search and fixed-version proofs must be about the log's latest entry; monitoring, any entry.
  Result<std::optional<Bytes>> verify_search_bytes(ByteView root, ByteView label, ByteView proof) const;
  // Every version on the monitoring ladder of the proof's version is included.
  Result<void> verify_monitor_bytes(ByteView root, ByteView label, ByteView proof) const;
  // The proven value of the step's version, or nothing when that version is absent.
  Result<std::optional<Bytes>> verify_fixed_version_bytes(ByteView root, ByteView label, ByteView proof) const;

  Result<void> check_combined_root(const Hash32& root, const ProofHead& head) const;

 private:
  KeytransVerifier(std::string_view context, KtSuite suite, const vrf::Vrf& vrf, ByteView vrf_public)
      : context_(context), vrf_public_(vrf_public), vrf_(&vrf), suite_(suite) {}

  Result<bool> check_step(const vrf::KeyedVerification& vrf, prefix_tree::Hasher& hasher, const Hash32& prefix_root,
                          ByteView label, const LadderStep& step) const;
  Result<Bytes> commit(ByteView label, uint32_t version, const RevealedValue& revealed) const;

  std::string_view context_;
  ByteView vrf_public_;
  const vrf::Vrf* vrf_;
  KtSuite suite_;
};

// 0x0001: Kt128Sha256P256 with the P-256 VRF; 0x0002: Kt128Sha256Ed25519 and 0xF000:
// QuorvantileHybridExp, both with the edwards25519 VRF.
Result<KeytransVerifier> keytrans_verifier_for_suite(uint16_t suite_id, std::string_view context, ByteView vrf_public);

// The experimental default suite (as 0xF000).
KeytransVerifier keytrans_default_verifier(std::string_view context, ByteView vrf_public);

}  // namespace quorvantile_log::keytrans
