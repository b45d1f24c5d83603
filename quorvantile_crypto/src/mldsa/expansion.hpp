// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// How verification expands the public matrix A^: one SHAKE128 stream at a time through OpenSSL,
// or four entries side by side through the multi-lane Keccak (which then also hashes the key
// beside the challenge stream). All paths give the same answers;
// the path is a parameter (not state) so that tests can run every path in one process.
#include <openssl/evp.h>

#include <span>

#include "keccak/keccak.hpp"
#include "mldsa/field.hpp"
#include "quorvantile_crypto/bytes.hpp"
#include "quorvantile_crypto/mldsa.hpp"

namespace quorvantile_crypto::mldsa::detail {

enum class Expansion : uint8_t { OneLane, FourLanesPortable, FourLanesAvx2 };

// Four AVX2 lanes where the CPU has AVX2; otherwise OpenSSL's one lane, which beats the
// portable permutation run lane by lane.
Expansion default_expansion();

// The permutation of the multi-lane paths.
inline keccak::Permutation lane_permutation(Expansion expansion) {
  return expansion == Expansion::FourLanesAvx2 ? keccak::Permutation::Avx2 : keccak::Permutation::Portable;
}

// w[row] += sum over columns of A^[row][column] * z[column] (Montgomery products), with
// k = w.size() rows and l = z.size() columns. ctx serves the one-lane path.
void accumulate_matrix_product(Expansion expansion, EVP_MD_CTX* ctx, ByteView rho, std::span<const Poly> z,
                               std::span<Poly> w);

// verify and verify_internal on a chosen path.
bool verify_on(Expansion expansion, ParameterSet params, ByteView public_key, ByteView message, ByteView signature,
               ByteView context = {});
bool verify_internal_on(Expansion expansion, ParameterSet params, ByteView public_key, ByteView message_representative,
                        ByteView signature);

}  // namespace quorvantile_crypto::mldsa::detail
