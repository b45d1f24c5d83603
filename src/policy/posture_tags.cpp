// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "policy/posture_tags.hpp"

#include <cstdio>

namespace quorvantile_log::policy {

std::optional<SecurityLevel> security_level_from_tag(uint8_t tag) {
  switch (tag) {
    case 3: return SecurityLevel::Cat3;
    case 5: return SecurityLevel::Cat5;
    default: return std::nullopt;
  }
}

std::optional<CheckpointSuite> checkpoint_suite_from_tag(uint8_t tag) {
  switch (tag) {
    case 1: return CheckpointSuite::Hybrid;
    case 2: return CheckpointSuite::HybridMatched;
    case 3: return CheckpointSuite::PureCnsa2;
    default: return std::nullopt;
  }
}

std::optional<CommitmentHash> commitment_hash_from_tag(uint8_t tag) {
  switch (tag) {
    case 1: return CommitmentHash::Sha3_256;
    case 2: return CommitmentHash::Sha3_512;
    default: return std::nullopt;
  }
}

std::optional<VrfMode> vrf_mode_from_tag(uint8_t tag) {
  switch (tag) {
    case 1: return VrfMode::Classical;
    case 2: return VrfMode::HybridOutput;
    case 3: return VrfMode::PurePqExperimental;
    default: return std::nullopt;
  }
}

std::optional<DirectoryMode> directory_mode_from_tag(uint8_t tag) {
  switch (tag) {
    case 1: return DirectoryMode::Coniks;
    case 2: return DirectoryMode::Keytrans;
    default: return std::nullopt;
  }
}

std::optional<KeytransSuite> keytrans_suite_from_id(uint16_t id) {
  switch (id) {
    case 0x0001: return KeytransSuite::Kt128Sha256P256;
    case 0x0002: return KeytransSuite::Kt128Sha256Ed25519;
    case 0xF000: return KeytransSuite::QuorvantileHybridExp;
    default: return std::nullopt;
  }
}

uint8_t tag_of(SecurityLevel v) { return v == SecurityLevel::Cat3 ? 3 : 5; }

uint8_t tag_of(CheckpointSuite v) {
  switch (v) {
    case CheckpointSuite::Hybrid: return 1;
    case CheckpointSuite::HybridMatched: return 2;
    case CheckpointSuite::PureCnsa2: return 3;
  }
  return 0;
}

uint8_t tag_of(CommitmentHash v) { return v == CommitmentHash::Sha3_256 ? 1 : 2; }

uint8_t tag_of(VrfMode v) {
  switch (v) {
    case VrfMode::Classical: return 1;
    case VrfMode::HybridOutput: return 2;
    case VrfMode::PurePqExperimental: return 3;
  }
  return 0;
}

uint8_t tag_of(DirectoryMode v) { return v == DirectoryMode::Coniks ? 1 : 2; }

uint16_t id_of(KeytransSuite v) {
  switch (v) {
    case KeytransSuite::QuorvantileHybridExp: return 0xF000;
    case KeytransSuite::Kt128Sha256Ed25519: return 0x0002;
    case KeytransSuite::Kt128Sha256P256: return 0x0001;
  }
  return 0;
}

std::string_view name_of(SecurityLevel v) { return v == SecurityLevel::Cat3 ? "Cat3" : "Cat5"; }

std::string_view name_of(CheckpointSuite v) {
  switch (v) {
    case CheckpointSuite::Hybrid: return "Hybrid";
    case CheckpointSuite::HybridMatched: return "HybridMatched";
    case CheckpointSuite::PureCnsa2: return "PureCnsa2";
  }
  return "";
}

std::string_view name_of(CommitmentHash v) { return v == CommitmentHash::Sha3_256 ? "Sha3_256" : "Sha3_512"; }

std::string_view name_of(VrfMode v) {
  switch (v) {
    case VrfMode::Classical: return "Classical";
    case VrfMode::HybridOutput: return "HybridOutput";
    case VrfMode::PurePqExperimental: return "PurePqExperimental";
  }
  return "";
}

std::string_view name_of(DirectoryMode v) { return v == DirectoryMode::Coniks ? "Coniks" : "Keytrans"; }

std::string_view name_of(KeytransSuite v) {
  switch (v) {
    case KeytransSuite::QuorvantileHybridExp: return "QuorvantileHybridExp";
    case KeytransSuite::Kt128Sha256Ed25519: return "Kt128Sha256Ed25519";
    case KeytransSuite::Kt128Sha256P256: return "Kt128Sha256P256";
  }
  return "";
}

std::string lower_hex(unsigned value, int digits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*x", digits, value);
  return buf;
}

}  // namespace quorvantile_log::policy
