// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The two directory proof encodings. Presence: tag 0x01, length-prefixed VRF proof, length-
// prefixed value, 32-byte opening, authentication path. Absence: tag 0x00, length-prefixed VRF
// proof, authentication path. Both end exactly where the path ends. Parsed proofs borrow the
// encoded bytes.
#include "coniks/auth_path.hpp"
#include "error/error.hpp"
#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_log::coniks {

inline constexpr std::size_t kOpeningSize = 32;

struct LookupProof {
  quorvantile_crypto::ByteView vrf_proof;
  quorvantile_crypto::ByteView value;
  AuthPath path;
  quorvantile_crypto::ByteView opening;  // 32 bytes

  static Result<LookupProof> parse(quorvantile_crypto::ByteView proof);
};

struct AbsenceProof {
  quorvantile_crypto::ByteView vrf_proof;
  AuthPath path;

  static Result<AbsenceProof> parse(quorvantile_crypto::ByteView proof);
};

}  // namespace quorvantile_log::coniks
