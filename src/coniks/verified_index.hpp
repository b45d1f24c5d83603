// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The leaf position of an identity: the first 32 bytes of the ECVRF output for
// u32be(len(namespace)) || namespace || identity, once the proof verifies.
#include "coniks/namespace.hpp"
#include "coniks/tree_hasher.hpp"
#include "error/error.hpp"
#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_log::coniks {

// A key or proof of the wrong length is the VRF's own error (kind Vrf); a proof that does not
// verify is VrfProofInvalid.
Result<Index> verified_index(const Namespace& ns, quorvantile_crypto::ByteView vrf_public,
                             quorvantile_crypto::ByteView identity, quorvantile_crypto::ByteView vrf_proof);

}  // namespace quorvantile_log::coniks
