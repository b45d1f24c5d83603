#include "mldsa/poly_ops.hpp"

namespace quorvantile_crypto::mldsa::detail {
namespace {

bool use_avx2() {
  static const bool available = avx2::available();
  return available;
}

}  // namespace

void ntt(Poly& a) { use_avx2() ? avx2::ntt(a) : portable::ntt(a); }

void inverse_ntt_to_montgomery(Poly& a) {
  use_avx2() ? avx2::inverse_ntt_to_montgomery(a) : portable::inverse_ntt_to_montgomery(a);
}

void multiply_add_montgomery(Poly& acc, const Poly& a, const Poly& b) {
  use_avx2() ? avx2::multiply_add_montgomery(acc, a, b) : portable::multiply_add_montgomery(acc, a, b);
}

}  // namespace quorvantile_crypto::mldsa::detail
