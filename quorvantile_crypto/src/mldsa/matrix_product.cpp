#include <array>
#include <stdexcept>

#include "keccak/keccak.hpp"
#include "mldsa/expansion.hpp"
#include "mldsa/sampling.hpp"

namespace quorvantile_crypto::mldsa::detail {

Expansion default_expansion() {
  if (keccak::avx512_available()) return Expansion::EightLanesAvx512;
  return keccak::avx2_available() ? Expansion::FourLanesAvx2 : Expansion::OneLane;
}

bool expansion_available(Expansion expansion) {
  return expansion == Expansion::OneLane || keccak::available(lane_permutation(expansion));
}

void expand_matrix_batch(Expansion expansion, EVP_MD_CTX* ctx, ByteView rho, int columns, int first, std::span<Poly> out) {
  if (out.size() > static_cast<std::size_t>(lanes_of(expansion)) || columns <= 0 || first < 0) {
    throw std::invalid_argument("matrix batch larger than the path's lanes");
  }
  if (expansion == Expansion::OneLane) {
    for (std::size_t i = 0; i < out.size(); ++i) {
      const int entry = first + static_cast<int>(i);
      expand_matrix_entry(ctx, rho, entry / columns, entry % columns, out[i]);
    }
    return;
  }
  std::array<MatrixIndex, keccak::kMaxWideLanes> batch;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const int entry = first + static_cast<int>(i);
    batch[i] = {entry / columns, entry % columns};
  }
  expand_matrix_entries(lane_permutation(expansion), rho, std::span(batch).first(out.size()), out);
}

}  // namespace quorvantile_crypto::mldsa::detail
