// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// ML-DSA.Verify and ML-DSA.Verify_internal for the three parameter sets.
#include <algorithm>
#include <array>
#include <initializer_list>

#include "mldsa/bit_packing.hpp"
#include "mldsa/expansion.hpp"
#include "mldsa/hints.hpp"
#include "mldsa/params.hpp"
#include "mldsa/poly_ops.hpp"
#include "mldsa/response.hpp"
#include "mldsa/rounding.hpp"
#include "mldsa/sampling.hpp"
#include "openssl_util.hpp"
#include "quorvantile_crypto/mldsa.hpp"

namespace quorvantile_crypto::mldsa {
namespace {

using namespace detail;

template <class P>
bool verify_parts(Expansion expansion, ByteView public_key, std::initializer_list<ByteView> message_representative,
                          ByteView signature) {
  if (public_key.size() != P::public_key_bytes || signature.size() != P::signature_bytes) return false;
  const ByteView rho = public_key.first(kSeedBytes);
  const ByteView packed_t1 = public_key.subspan(kSeedBytes);
  const ByteView ctilde = signature.first(P::ctilde_bytes);
  const ByteView packed_z = signature.subspan(P::ctilde_bytes, P::l * P::z_poly_bytes);
  const ByteView hints = signature.last(P::omega + P::k);

  if (!hints_well_formed(hints, P::omega, P::k)) return false;
  std::array<Poly, P::l> z;
  if (!decode_response<P>(packed_z, z)) return false;

  auto owned_ctx = ossl::new_md_ctx();
  EVP_MD_CTX* ctx = owned_ctx.get();

  // tr and the challenge are independent streams: side by side in two lanes on the multi-lane
  // paths, one after the other through OpenSSL otherwise.
  std::array<uint8_t, kTrBytes> tr;
  Poly minus_c;
  if (expansion == Expansion::OneLane) {
    ossl::digest_init(ctx, ossl::shake256());
    ossl::digest_update(ctx, public_key);
    ossl::digest_final_xof(ctx, tr.data(), tr.size());
    sample_challenge(ctx, ctilde, P::tau, minus_c);
  } else {
    hash_key_and_sample_challenge(lane_permutation(expansion), public_key, ctilde, P::tau, tr, minus_c);
  }

  std::array<uint8_t, kMuBytes> mu;
  ossl::digest_init(ctx, ossl::shake256());
  ossl::digest_update(ctx, tr);
  for (ByteView part : message_representative) ossl::digest_update(ctx, part);
  ossl::digest_final_xof(ctx, mu.data(), mu.size());

  // -NTT(c), so that the row loop only ever adds products.
  ntt(minus_c);
  for (int32_t& x : minus_c) x = -x;
  for (Poly& zs : z) ntt(zs);

  // w'_approx = NTT^-1(A^ * NTT(z) - NTT(c) * NTT(t1 * 2^d)): the matrix product for all rows
  // first (its entries are independent streams), then row by row the t1 term, the high bits
  // with the hints, and the encoding.
  std::array<Poly, P::k> w{};
  accumulate_matrix_product(expansion, ctx, rho, z, w);
  std::array<uint8_t, P::k * P::w1_poly_bytes> w1_encoded;
  Poly t;
  std::array<bool, kN> hinted;
  std::size_t hint_begin = 0;
  for (int row = 0; row < P::k; ++row) {
    Poly& wr = w[static_cast<std::size_t>(row)];
    unpack_bits<10>(packed_t1.data() + static_cast<std::size_t>(row) * kT1PolyBytes, t);
    for (int32_t& x : t) x <<= kDroppedBits;
    ntt(t);
    multiply_add_montgomery(wr, minus_c, t);
    for (int32_t& x : wr) x = reduce32(x);
    inverse_ntt_to_montgomery(wr);

    hinted.fill(false);
    const std::size_t hint_end = hints[P::omega + static_cast<std::size_t>(row)];
    for (std::size_t h = hint_begin; h < hint_end; ++h) hinted[hints[h]] = true;
    hint_begin = hint_end;
    for (int i = 0; i < kN; ++i) wr[i] = use_hint<P::gamma2>(add_q_if_negative(wr[i]), hinted[i]);
    pack_bits<P::w1_bits>(wr, w1_encoded.data() + static_cast<std::size_t>(row) * P::w1_poly_bytes);
  }

  std::array<uint8_t, P::ctilde_bytes> ctilde_check;
  ossl::digest_init(ctx, ossl::shake256());
  ossl::digest_update(ctx, mu);
  ossl::digest_update(ctx, w1_encoded);
  ossl::digest_final_xof(ctx, ctilde_check.data(), ctilde_check.size());
  return std::ranges::equal(ctilde_check, ctilde);
}

bool dispatch(Expansion expansion, ParameterSet params, ByteView public_key,
              std::initializer_list<ByteView> message_representative, ByteView signature) {
  switch (params) {
    case ParameterSet::MlDsa44:
      return verify_parts<MlDsa44Params>(expansion, public_key, message_representative, signature);
    case ParameterSet::MlDsa65:
      return verify_parts<MlDsa65Params>(expansion, public_key, message_representative, signature);
    case ParameterSet::MlDsa87:
      return verify_parts<MlDsa87Params>(expansion, public_key, message_representative, signature);
  }
  return false;
}

}  // namespace

namespace detail {

bool verify_on(Expansion expansion, ParameterSet params, ByteView public_key, ByteView message, ByteView signature,
               ByteView context) {
  if (context.size() > 255) return false;
  const std::array<uint8_t, 2> domain{0x00, static_cast<uint8_t>(context.size())};
  return dispatch(expansion, params, public_key, {domain, context, message}, signature);
}

bool verify_internal_on(Expansion expansion, ParameterSet params, ByteView public_key, ByteView message_representative,
                        ByteView signature) {
  return dispatch(expansion, params, public_key, {message_representative}, signature);
}

}  // namespace detail

bool verify(ParameterSet params, ByteView public_key, ByteView message, ByteView signature, ByteView context) {
  return verify_on(default_expansion(), params, public_key, message, signature, context);
}

bool verify_internal(ParameterSet params, ByteView public_key, ByteView message_representative, ByteView signature) {
  return verify_internal_on(default_expansion(), params, public_key, message_representative, signature);
}

}  // namespace quorvantile_crypto::mldsa
