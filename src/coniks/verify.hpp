// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The work of the two directory-proof exports.
#include <string_view>

#include "error/error.hpp"
#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_log::coniks {

// Checks in order: namespace, 64-byte root (bare message), proof encoding, VRF index, then the
// recomputed root over the committed value. Returns a copy of the proven value.
ExportResult<quorvantile_crypto::Bytes> coniks_verify_lookup(std::string_view ns, quorvantile_crypto::ByteView vrf_public,
                                                             quorvantile_crypto::ByteView root,
                                                             quorvantile_crypto::ByteView identity,
                                                             quorvantile_crypto::ByteView proof);

// The same order; success means the identity's leaf slot holds the empty leaf under the root.
ExportResult<void> coniks_verify_absence(std::string_view ns, quorvantile_crypto::ByteView vrf_public,
                                         quorvantile_crypto::ByteView root, quorvantile_crypto::ByteView identity,
                                         quorvantile_crypto::ByteView proof);

}  // namespace quorvantile_log::coniks
