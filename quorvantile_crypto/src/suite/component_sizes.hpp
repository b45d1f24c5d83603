// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The encoded sizes of every component scheme, from the definitions of the schemes themselves,
// and the layout of a tagged value built from them: the tag byte, the classical component (if
// any), then the ML-DSA component.
#include <cstddef>

#include "mldsa/params.hpp"
#include "sign/ecdsa_p521.hpp"
#include "sign/ed448.hpp"

namespace quorvantile_crypto::sizes {

struct Component {
  std::size_t public_key;
  std::size_t signature;
};

inline constexpr Component kNone{0, 0};
inline constexpr Component kEd25519{32, 64};  // RFC 8032
inline constexpr Component kEd448{ed448::kPublicKeySize, ed448::kSignatureSize};
inline constexpr Component kP521{ecdsa_p521::kPublicKeySize, ecdsa_p521::kSignatureSize};
inline constexpr Component kMlDsa44{mldsa::detail::MlDsa44Params::public_key_bytes,
                                    mldsa::detail::MlDsa44Params::signature_bytes};
inline constexpr Component kMlDsa65{mldsa::detail::MlDsa65Params::public_key_bytes,
                                    mldsa::detail::MlDsa65Params::signature_bytes};
inline constexpr Component kMlDsa87{mldsa::detail::MlDsa87Params::public_key_bytes,
                                    mldsa::detail::MlDsa87Params::signature_bytes};

inline constexpr std::size_t kTagSize = 1;

// Totals of a tagged value: tag, classical component, ML-DSA component.
constexpr Component tagged(Component classical, Component lattice) {
  return {kTagSize + classical.public_key + lattice.public_key, kTagSize + classical.signature + lattice.signature};
}

}  // namespace quorvantile_crypto::sizes
