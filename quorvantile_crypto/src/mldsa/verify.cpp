// ML-DSA.Verify and ML-DSA.Verify_internal for the three parameter sets.
#include <algorithm>
#include <array>
#include <initializer_list>

#include "mldsa/expansion.hpp"
#include "mldsa/hints.hpp"
#include "mldsa/params.hpp"
#include "mldsa/poly_ops.hpp"
#include "mldsa/response.hpp"
#include "mldsa/row_kernels.hpp"
#include "mldsa/sampling.hpp"
#include "openssl_util.hpp"
#include "quorvantile_crypto/mldsa.hpp"

namespace quorvantile_crypto::mldsa {
namespace {

using namespace detail;

// The arithmetic of one verification: AVX2 where the CPU has it, except on the portable
// four-lane path, which stays portable throughout as the reference.
struct Kernels {
  bool vector;
  void (*ntt)(Poly&);
  void (*inverse_ntt)(Poly&);
  void (*dot_product_montgomery)(Poly&, std::span<const Poly* const>, std::span<const Poly* const>);
  void (*unpack_t1_shifted)(const uint8_t*, std::size_t, Poly&);
  void (*encode_w1)(int32_t, const Poly&, const HintMask&, uint8_t*);

  static Kernels for_path(Expansion expansion) {
    if (expansion != Expansion::FourLanesPortable && avx2_enabled()) {
      return {true, avx2::ntt, avx2::inverse_ntt_to_montgomery, avx2::dot_product_montgomery, avx2::unpack_t1_shifted,
              avx2::encode_w1_with_hints};
    }
    return {false, portable::ntt, portable::inverse_ntt_to_montgomery, portable::dot_product_montgomery,
            [](const uint8_t* packed, std::size_t, Poly& t) { portable::unpack_t1_shifted(packed, t); },
            portable::encode_w1_with_hints};
  }
};

template <class P>
bool verify_parts(Expansion expansion, ByteView public_key, std::initializer_list<ByteView> message_representative,
                          ByteView signature) {
  if (public_key.size() != P::public_key_bytes || signature.size() != P::signature_bytes) return false;
  const ByteView rho = public_key.first(kSeedBytes);
  const ByteView packed_t1 = public_key.subspan(kSeedBytes);
  const ByteView ctilde = signature.first(P::ctilde_bytes);
  const ByteView hints = signature.last(P::omega + P::k);

  if (!hints_well_formed(hints, P::omega, P::k)) return false;
  const Kernels kernels = Kernels::for_path(expansion);
  std::array<Poly, P::l> z;
  // The vector unpacking may read into the hints that follow z.
  if (!decode_response<P>(signature.subspan(P::ctilde_bytes), z, kernels.vector)) return false;

  auto owned_ctx = ossl::new_md_ctx();
  EVP_MD_CTX* ctx = owned_ctx.get();

  // tr hashes the whole key in one lane: a second lane beside it (for the challenge) would only
  // slow the longer stream down.
  std::array<uint8_t, kTrBytes> tr;
  ossl::digest_init(ctx, ossl::shake256());
  ossl::digest_update(ctx, public_key);
  ossl::digest_final_xof(ctx, tr.data(), tr.size());
  Poly minus_c;
  sample_challenge(ctx, ctilde, P::tau, minus_c);

  std::array<uint8_t, kMuBytes> mu;
  ossl::digest_init(ctx, ossl::shake256());
  ossl::digest_update(ctx, tr);
  for (ByteView part : message_representative) ossl::digest_update(ctx, part);
  ossl::digest_final_xof(ctx, mu.data(), mu.size());

  // -NTT(c), so that each row sums products only.
  kernels.ntt(minus_c);
  for (int32_t& x : minus_c) x = -x;
  for (Poly& zs : z) kernels.ntt(zs);

  // Row by row: w'_approx = NTT^-1(A^[row] * NTT(z) - NTT(c) * NTT(t1[row] * 2^d)) as one sum of
  // l + 1 products with a single reduction, then the high bits with the hints, encoded.
  std::array<uint8_t, P::k * P::w1_poly_bytes> w1_encoded;
  std::array<const Poly*, P::l + 1> factors_a;
  std::array<const Poly*, P::l + 1> factors_b;
  for (std::size_t j = 0; j < P::l; ++j) factors_b[j] = &z[j];
  factors_a[P::l] = &minus_c;
  Poly t;
  Poly w;
  factors_b[P::l] = &t;
  HintMask hinted;
  std::size_t hint_begin = 0;
  for_each_matrix_row(expansion, ctx, rho, P::k, P::l, [&](int row, std::span<const Poly> entries) {
    const auto r = static_cast<std::size_t>(row);
    kernels.unpack_t1_shifted(packed_t1.data() + r * kT1PolyBytes, packed_t1.size() - r * kT1PolyBytes, t);
    kernels.ntt(t);
    for (std::size_t j = 0; j < P::l; ++j) factors_a[j] = &entries[j];
    kernels.dot_product_montgomery(w, factors_a, factors_b);
    kernels.inverse_ntt(w);

    hinted.fill(0);
    const std::size_t hint_end = hints[P::omega + r];
    for (std::size_t h = hint_begin; h < hint_end; ++h) hinted[hints[h]] = 1;
    hint_begin = hint_end;
    kernels.encode_w1(P::gamma2, w, hinted, w1_encoded.data() + r * P::w1_poly_bytes);
  });

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
