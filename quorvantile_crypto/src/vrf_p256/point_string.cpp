#include "vrf_p256/point_string.hpp"

#include <algorithm>

#include "vrf_p256/field.hpp"
#include "vrf_p256/scalar.hpp"

namespace quorvantile_crypto::vrf_p256 {
namespace {

constexpr uint8_t kEven = 0x02;
constexpr uint8_t kOdd = 0x03;
constexpr uint8_t kCompact = 0x05;

// The square root of x^3 - 3x + b that the first byte selects, or nothing when there is none.
// Points are public values: nothing here needs to hide what it computes.
std::optional<Bn> solve_y(const BIGNUM* x, uint8_t form, BN_CTX* ctx) {
  const Curve& c = curve();
  std::optional<Bn> y = sqrt_mont(curve_rhs_mont(x, ctx).get(), ctx);
  if (!y) return std::nullopt;

  // y = 0 would be a point of order 2, which a prime-order group does not have, so p - y < p.
  const bool swap = form == kCompact ? BN_cmp(y->get(), c.half_p) > 0 : (BN_is_odd(y->get()) == 1) != (form == kOdd);
  if (!swap) return y;
  Bn other = new_bn();
  check(BN_sub(other.get(), c.p, y->get()), "BN_sub");
  return other;
}

}  // namespace

std::optional<PointString> point_to_string(const EC_POINT* point, BN_CTX* ctx) {
  if (is_identity(point)) return std::nullopt;
  PointString out{};
  const std::size_t len =
      EC_POINT_point2oct(curve().group, point, POINT_CONVERSION_COMPRESSED, out.data(), out.size(), ctx);
  if (len != out.size()) fail("EC_POINT_point2oct");
  return out;
}

std::optional<DecodedPoint> string_to_point(ByteView string, BN_CTX* ctx) {
  if (string.size() != kPointStringSize) return std::nullopt;
  const uint8_t form = string[0];
  if (form != kEven && form != kOdd && form != kCompact) return std::nullopt;
  const ByteView x_bytes = string.subspan(1);
  if (!std::lexicographical_compare(x_bytes.begin(), x_bytes.end(), curve().p_bytes.begin(), curve().p_bytes.end())) {
    return std::nullopt;
  }

  Bn x = bn_from_be(x_bytes);
  std::optional<Bn> y = solve_y(x.get(), form, ctx);
  if (!y) return std::nullopt;

  DecodedPoint decoded{new_point(), {}};
  check(EC_POINT_set_affine_coordinates(curve().group, decoded.point.get(), x.get(), y->get(), ctx),
        "EC_POINT_set_affine_coordinates");
  decoded.canonical[0] = BN_is_odd(y->get()) ? kOdd : kEven;
  std::copy(x_bytes.begin(), x_bytes.end(), decoded.canonical.begin() + 1);
  return decoded;
}

}  // namespace quorvantile_crypto::vrf_p256
