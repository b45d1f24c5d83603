#pragma once
// How verification expands the public matrix A^: one SHAKE128 stream at a time through OpenSSL,
// four entries side by side through the multi-lane Keccak (portable or AVX2), or eight side by
// side with AVX-512. The four portable lanes also run the portable arithmetic, so that path is
// the reference from end to end. All paths give the same answers; the path is a parameter (not
// state) so that tests can run every path in one process.
#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <span>

#include "keccak/keccak.hpp"
#include "mldsa/field.hpp"
#include "quorvantile_crypto/bytes.hpp"
#include "quorvantile_crypto/mldsa.hpp"

namespace quorvantile_crypto::mldsa::detail {

enum class Expansion : uint8_t { OneLane, FourLanesPortable, FourLanesAvx2, EightLanesAvx512 };

// Eight AVX-512 lanes where the CPU has AVX-512F/VL, else four AVX2 lanes, else OpenSSL's one
// lane, which beats the portable permutation run lane by lane.
Expansion default_expansion();

// Whether the CPU runs the path.
bool expansion_available(Expansion expansion);

// The permutation of the multi-lane paths.
inline keccak::Permutation lane_permutation(Expansion expansion) {
  switch (expansion) {
    case Expansion::FourLanesAvx2: return keccak::Permutation::Avx2;
    case Expansion::EightLanesAvx512: return keccak::Permutation::Avx512;
    default: return keccak::Permutation::Portable;
  }
}

// Entries expanded together on the path.
inline int lanes_of(Expansion expansion) {
  switch (expansion) {
    case Expansion::OneLane: return 1;
    case Expansion::EightLanesAvx512: return 8;
    default: return 4;
  }
}

// Entries first .. first + out.size() - 1 of A^ in row-major order (rows of `columns` entries),
// out.size() <= lanes_of(expansion). ctx serves the one-lane path.
void expand_matrix_batch(Expansion expansion, EVP_MD_CTX* ctx, ByteView rho, int columns, int first, std::span<Poly> out);

inline constexpr int kMaxColumns = 7;

// Calls row_done(row, entries) for row = 0 .. rows - 1 with the `columns` entries of that row of
// A^. Batches run across row boundaries; entries of the next row wait in the buffer.
template <class RowDone>
void for_each_matrix_row(Expansion expansion, EVP_MD_CTX* ctx, ByteView rho, int rows, int columns, RowDone&& row_done) {
  const int lanes = lanes_of(expansion);
  const int entries = rows * columns;
  std::array<Poly, kMaxColumns + keccak::kMaxWideLanes - 1> buffer;
  int buffered = 0;
  int next = 0;
  for (int row = 0; row < rows; ++row) {
    while (buffered < columns) {
      const int count = std::min(lanes, entries - next);
      expand_matrix_batch(expansion, ctx, rho, columns, next,
                          std::span(buffer).subspan(static_cast<std::size_t>(buffered), static_cast<std::size_t>(count)));
      buffered += count;
      next += count;
    }
    row_done(row, std::span<const Poly>(buffer).first(static_cast<std::size_t>(columns)));
    std::copy(buffer.begin() + columns, buffer.begin() + buffered, buffer.begin());
    buffered -= columns;
  }
}

// verify and verify_internal on a chosen path.
bool verify_on(Expansion expansion, ParameterSet params, ByteView public_key, ByteView message, ByteView signature,
               ByteView context = {});
bool verify_internal_on(Expansion expansion, ParameterSet params, ByteView public_key, ByteView message_representative,
                        ByteView signature);

}  // namespace quorvantile_crypto::mldsa::detail
