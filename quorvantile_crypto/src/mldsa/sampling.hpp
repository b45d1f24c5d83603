#pragma once
// The two samplers of verification: entries of the public matrix A (ExpandA by RejNTTPoly over
// SHAKE128) and the challenge polynomial (SampleInBall over SHAKE256). Both reuse the caller's
// digest context.
#include <openssl/evp.h>

#include <span>

#include "keccak/keccak.hpp"
#include "mldsa/field.hpp"
#include "mldsa/xof_output.hpp"
#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_crypto::mldsa::detail {

// A^[row][column] = RejNTTPoly(rho || column || row): coefficients in [0, q), NTT domain.
void expand_matrix_entry(EVP_MD_CTX* ctx, ByteView rho, int row, int column, Poly& out);

// Up to eight entries at once (four on the portable and AVX2 permutations run per group of four),
// each in its own lane of the multi-lane Keccak: out[i] is A^[entries[i].row][entries[i].column];
// out.size() == entries.size().
struct MatrixIndex {
  int row;
  int column;
};
// first_blocks SHAKE128 blocks per entry are squeezed side by side (the default almost always
// suffices); an entry that needs more continues on its own.
inline constexpr std::size_t kMatrixEntryBlocks = 5;
void expand_matrix_entries(keccak::Permutation permutation, ByteView rho, std::span<const MatrixIndex> entries,
                           std::span<Poly> out, std::size_t first_blocks = kMatrixEntryBlocks);

// SampleInBall(ctilde): tau coefficients +1 or -1, all others 0.
void sample_challenge(EVP_MD_CTX* ctx, ByteView ctilde, int tau, Poly& out);

// The samplers proper, reading from an already opened SHAKE128 (RejNTTPoly) or SHAKE256
// (SampleInBall) stream of any initial length. RejNTTPoly reads an XofOutput or a LaneOutput.
template <class Stream>
void rej_ntt_poly(Stream& stream, Poly& out);
template <class Stream>
void sample_in_ball(Stream& stream, int tau, Poly& out);

namespace avx2 {
// The vector part of RejNTTPoly's loop: takes 24-byte groups from bytes[pos..end) while at least
// 32 bytes can be read and 8 coefficient slots remain, advancing pos and count. The caller
// finishes with the scalar loop. Requires AVX2 (see avx2_enabled()).
void accept_uniform_blocks(Poly& out, int& count, const uint8_t* bytes, std::size_t& pos, std::size_t end);
}  // namespace avx2

}  // namespace quorvantile_crypto::mldsa::detail
