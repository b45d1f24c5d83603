// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Ed25519 signature verification (RFC 8032) in the two forms the library uses. The group
// arithmetic behind it lives in src/ed25519/ behind its own narrow header.
#include <cstdint>
#include <span>

#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_crypto::ed25519 {

// The arithmetic behind verification: the portable code, or four-lane AVX-512 IFMA on CPUs that
// have it. Both give the same answers; the default is the fastest the CPU can run.
enum class Backend : uint8_t { Portable, Ifma };
bool backend_available(Backend backend);
Backend default_backend();

// Cofactorless verification: the key must decode (lenient decoding), S must be canonical, and the
// encoding of R' = S*B - k*A, k = SHA-512(R || A || message) mod L, must equal the signature's R.
// Small-order keys and R values are accepted. Wrong lengths give false.
bool verify_cofactorless(ByteView public_key, ByteView message, ByteView signature,
                         Backend backend = default_backend());

// Strict verification: as above, and additionally R must decode and neither the key nor R may be
// of small order.
bool verify_strict(ByteView public_key, ByteView message, ByteView signature, Backend backend = default_backend());

// Strict verification of the message made of `parts` in order; the parts are hashed one after
// another, never joined, so a large message shared by many signatures is not copied for each.
bool verify_strict_parts(ByteView public_key, std::span<const ByteView> parts, ByteView signature);

}  // namespace quorvantile_crypto::ed25519
