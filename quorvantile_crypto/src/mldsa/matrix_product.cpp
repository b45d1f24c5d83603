// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include <algorithm>
#include <array>

#include "keccak/keccak.hpp"
#include "mldsa/expansion.hpp"
#include "mldsa/poly_ops.hpp"
#include "mldsa/sampling.hpp"

namespace quorvantile_crypto::mldsa::detail {

Expansion default_expansion() { return keccak::avx2_available() ? Expansion::FourLanesAvx2 : Expansion::OneLane; }

void accumulate_matrix_product(Expansion expansion, EVP_MD_CTX* ctx, ByteView rho, std::span<const Poly> z,
                               std::span<Poly> w) {
  const int rows = static_cast<int>(w.size());
  const int columns = static_cast<int>(z.size());
  if (expansion == Expansion::OneLane) {
    Poly a;
    for (int row = 0; row < rows; ++row) {
      for (int column = 0; column < columns; ++column) {
        expand_matrix_entry(ctx, rho, row, column, a);
        multiply_add_montgomery(w[static_cast<std::size_t>(row)], a, z[static_cast<std::size_t>(column)]);
      }
    }
    return;
  }
  // Entries in row-major order, four at a time; a batch may straddle two rows.
  const auto permutation = lane_permutation(expansion);
  const int entries = rows * columns;
  std::array<MatrixIndex, keccak::kMaxLanes> batch;
  std::array<Poly, keccak::kMaxLanes> a;
  for (int first = 0; first < entries; first += static_cast<int>(keccak::kMaxLanes)) {
    const auto count = static_cast<std::size_t>(std::min(static_cast<int>(keccak::kMaxLanes), entries - first));
    for (std::size_t i = 0; i < count; ++i) {
      const int entry = first + static_cast<int>(i);
      batch[i] = {entry / columns, entry % columns};
    }
    expand_matrix_entries(permutation, rho, std::span(batch).first(count), std::span(a).first(count));
    for (std::size_t i = 0; i < count; ++i) {
      multiply_add_montgomery(w[static_cast<std::size_t>(batch[i].row)], a[i], z[static_cast<std::size_t>(batch[i].column)]);
    }
  }
}

}  // namespace quorvantile_crypto::mldsa::detail
