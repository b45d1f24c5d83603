// Signature-part decoding: the hint encoding rules and the z range check at its exact boundary.
#include <gtest/gtest.h>

#include <vector>

#include "mldsa/bit_packing.hpp"
#include "mldsa/hints.hpp"
#include "mldsa/params.hpp"
#include "mldsa/poly_ops.hpp"
#include "mldsa/response.hpp"

namespace {

using namespace quorvantile_crypto::mldsa::detail;

struct HintCase {
  const char* what;
  std::vector<uint8_t> encoded;  // omega = 4 index bytes, then 2 cumulative counts
  bool well_formed;
};

TEST(MlDsaHints, EncodingRules) {
  const HintCase cases[] = {
      {"no hints", {0, 0, 0, 0, 0, 0}, true},
      {"one row of two", {1, 5, 0, 0, 2, 2}, true},
      {"indices may restart in the next row", {5, 9, 1, 0, 2, 3}, true},
      {"all omega slots used", {1, 2, 3, 4, 2, 4}, true},
      {"index 255 allowed", {255, 0, 0, 0, 0, 1}, true},
      {"repeated index in a row", {5, 5, 0, 0, 2, 2}, false},
      {"decreasing index in a row", {5, 1, 0, 0, 2, 2}, false},
      {"decreasing index in the second row", {5, 9, 1, 0, 1, 3}, false},
      {"count decreases", {1, 2, 0, 0, 2, 1}, false},
      {"count above omega", {1, 2, 3, 4, 2, 5}, false},
      {"first count above omega", {0, 0, 0, 0, 5, 5}, false},
      {"non-zero padding", {1, 0, 0, 7, 1, 1}, false},
      {"non-zero padding after no hints", {0, 1, 0, 0, 0, 0}, false},
  };
  for (const HintCase& c : cases) EXPECT_EQ(hints_well_formed(c.encoded, 4, 2), c.well_formed) << c.what;
  const std::vector<uint8_t> short_input{0, 0, 0, 0, 0};
  EXPECT_FALSE(hints_well_formed(short_input, 4, 2));
}

template <class P>
void check_response_boundary() {
  const int32_t bound = P::gamma1 - P::beta;
  const struct {
    int32_t z;
    bool accepted;
  } cases[] = {{0, true},      {bound - 1, true},  {-(bound - 1), true},     {bound, false},
               {-bound, false}, {P::gamma1, false}, {-P::gamma1 + 1, false}};
  // The tested coefficient is the first of the first polynomial (vector loads) or the last of the
  // last (scalar loads at the end of the input); every other one is zero. Both arithmetics.
  std::vector<bool> arithmetics{false};
  if (avx2_enabled()) arithmetics.push_back(true);
  for (const auto& c : cases) {
    for (const bool at_end : {false, true}) {
      std::vector<uint8_t> packed(P::l * P::z_poly_bytes);
      for (int s = 0; s < P::l; ++s) {
        Poly encoded;
        encoded.fill(P::gamma1);
        if (at_end && s == P::l - 1) encoded[kN - 1] = P::gamma1 - c.z;
        if (!at_end && s == 0) encoded[0] = P::gamma1 - c.z;
        pack_bits<P::z_bits>(encoded, packed.data() + s * P::z_poly_bytes);
      }
      for (const bool vector : arithmetics) {
        std::array<Poly, P::l> z;
        EXPECT_EQ(decode_response<P>(packed, z, vector), c.accepted)
            << "gamma1 " << P::gamma1 << " z " << c.z << (at_end ? " at the end" : " first") << (vector ? " (AVX2)" : "");
        if (c.accepted) {
          EXPECT_EQ(at_end ? z[P::l - 1][kN - 1] : z[0][0], c.z);
        }
      }
    }
  }
}

TEST(MlDsaResponse, NormBoundIsStrict) {
  check_response_boundary<MlDsa44Params>();
  check_response_boundary<MlDsa65Params>();
  check_response_boundary<MlDsa87Params>();
}

}  // namespace
