// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// edwards25519 group: lenient decoding, small-order points, torsion, the group law, the three
// scalar multiplications and the constant base-point tables.
#include <gtest/gtest.h>
#include <openssl/rand.h>

#include <string>

#include "ed25519/base_tables.hpp"
#include "ed25519/group.hpp"
#include "ed25519_backends.hpp"
#include "test_support.hpp"

namespace {

using qv_test::from_hex;
using qv_test::to_hex;
namespace ed = quorvantile_crypto::ed25519;

std::array<uint8_t, 32> hex32(std::string_view hex) {
  const auto v = from_hex(hex);
  std::array<uint8_t, 32> out{};
  std::copy(v.begin(), v.end(), out.begin());
  return out;
}

ed::Point must_decode(std::string_view hex) {
  const auto bytes = hex32(hex);
  const auto p = ed::decode(bytes);
  EXPECT_TRUE(p.has_value()) << hex;
  return p.value_or(ed::identity());
}

ed::Scalar scalar_from_u64(uint64_t v) {
  ed::Scalar s;
  for (int i = 0; i < 8; ++i) s.bytes[i] = static_cast<uint8_t>(v >> (8 * i));
  return s;
}

ed::Scalar random_scalar() {
  std::array<uint8_t, 64> wide;
  EXPECT_EQ(RAND_bytes(wide.data(), 64), 1);
  return ed::scalar_reduce64(wide);
}

// A random 254-bit integer (not reduced modulo L), so that sums of two still fit in 256 bits.
ed::Scalar random_wide_scalar() {
  ed::Scalar s;
  EXPECT_EQ(RAND_bytes(s.bytes.data(), 32), 1);
  s.bytes[31] &= 0x3f;
  return s;
}

ed::Scalar add_integers(const ed::Scalar& a, const ed::Scalar& b) {
  ed::Scalar r;
  unsigned carry = 0;
  for (int i = 0; i < 32; ++i) {
    carry += static_cast<unsigned>(a.bytes[i]) + b.bytes[i];
    r.bytes[i] = static_cast<uint8_t>(carry);
    carry >>= 8;
  }
  return r;
}

const char* const kL = "edd3f55c1a631258d69cf7a2def9de1400000000000000000000000000000010";
const char* const kOrder8 = "26e8958fc2b227b045c3f489f2ef98f0d5dfac05d3c63339b13802886d53fc05";
const char* const kBase = "5866666666666666666666666666666666666666666666666666666666666666";

ed::Scalar scalar_hex(std::string_view hex) {
  ed::Scalar s;
  s.bytes = hex32(hex);
  return s;
}

// A point with both a prime-order and a torsion component: B + T8 (T8 of order 8).
ed::Point mixed_point() { return ed::add(ed::base_point(), must_decode(kOrder8)); }

TEST(Ed25519Group, BasePointEncoding) {
  EXPECT_EQ(to_hex(ed::encode(ed::base_point())), kBase);
  EXPECT_TRUE(ed::equal(must_decode(kBase), ed::base_point()));
}

struct DecodeCase {
  const char* name;
  const char* encoding;
  const char* canonical;  // nullptr: decoding fails
};

// 2^255 - 19 + y for small y is a non-canonical encoding of y; the sign bit is ignored when x = 0.
const DecodeCase kDecodeCases[] = {
    {"identity", "0100000000000000000000000000000000000000000000000000000000000000",
     "0100000000000000000000000000000000000000000000000000000000000000"},
    {"identity with sign bit", "0100000000000000000000000000000000000000000000000000000000000080",
     "0100000000000000000000000000000000000000000000000000000000000000"},
    {"identity as p + 1", "eeffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff7f",
     "0100000000000000000000000000000000000000000000000000000000000000"},
    {"identity as p + 1 with sign bit", "eeffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff",
     "0100000000000000000000000000000000000000000000000000000000000000"},
    {"order 2 with sign bit", "ecffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff",
     "ecffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff7f"},
    {"y = 0 as p", "edffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff7f",
     "0000000000000000000000000000000000000000000000000000000000000000"},
    {"y = 0 as p, other sign", "edffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff",
     "0000000000000000000000000000000000000000000000000000000000000080"},
    {"y = 3 as p + 3", "f0ffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff7f",
     "0300000000000000000000000000000000000000000000000000000000000000"},
    {"all ones: y = 18 as p + 18", "ffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff",
     "1200000000000000000000000000000000000000000000000000000000000080"},
    {"y = 2 is not on the curve", "0200000000000000000000000000000000000000000000000000000000000000", nullptr},
    {"y = 2 as p + 2", "efffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff7f", nullptr},
    {"y = 7 is not on the curve", "0700000000000000000000000000000000000000000000000000000000000080", nullptr},
};

TEST(Ed25519Group, LenientDecoding) {
  for (const DecodeCase& c : kDecodeCases) {
    SCOPED_TRACE(c.name);
    const auto p = ed::decode(hex32(c.encoding));
    ASSERT_EQ(p.has_value(), c.canonical != nullptr);
    if (p) {
      EXPECT_EQ(to_hex(ed::encode(*p)), c.canonical);
    }
  }
}

// For every y below 19 the encodings of y and y + p behave alike, with either sign bit.
TEST(Ed25519Group, NonCanonicalYDecodesLikeY) {
  for (unsigned y = 0; y < 19; ++y) {
    for (uint8_t sign : {uint8_t{0}, uint8_t{0x80}}) {
      std::array<uint8_t, 32> canonical{}, shifted{};
      canonical[0] = static_cast<uint8_t>(y);
      canonical[31] = sign;
      // p + y = 2^255 - 19 + y: low byte 0xed + y, then 0xff..., top byte 0x7f.
      shifted.fill(0xff);
      shifted[0] = static_cast<uint8_t>(0xed + y);
      shifted[31] = static_cast<uint8_t>(0x7f | sign);
      const auto a = ed::decode(canonical), b = ed::decode(shifted);
      ASSERT_EQ(a.has_value(), b.has_value()) << y;
      if (a) {
        EXPECT_EQ(ed::encode(*a), ed::encode(*b)) << y;
      }
    }
  }
}

struct SmallOrderCase {
  const char* encoding;
  int order;
};

const SmallOrderCase kSmallOrder[] = {
    {"0100000000000000000000000000000000000000000000000000000000000000", 1},
    {"ecffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff7f", 2},
    {"0000000000000000000000000000000000000000000000000000000000000000", 4},
    {"0000000000000000000000000000000000000000000000000000000000000080", 4},
    {"26e8958fc2b227b045c3f489f2ef98f0d5dfac05d3c63339b13802886d53fc05", 8},
    {"26e8958fc2b227b045c3f489f2ef98f0d5dfac05d3c63339b13802886d53fc85", 8},
    {"c7176a703d4dd84fba3c0b760d10670f2a2053fa2c39ccc64ec7fd7792ac037a", 8},
    {"c7176a703d4dd84fba3c0b760d10670f2a2053fa2c39ccc64ec7fd7792ac03fa", 8},
};

TEST(Ed25519Group, EightSmallOrderPoints) {
  std::vector<ed::Encoding> seen;
  for (const SmallOrderCase& c : kSmallOrder) {
    SCOPED_TRACE(c.encoding);
    const ed::Point t = must_decode(c.encoding);
    EXPECT_EQ(to_hex(ed::encode(t)), c.encoding);
    EXPECT_TRUE(ed::is_small_order(t));
    EXPECT_TRUE(ed::is_identity(ed::mul_by_cofactor(t)));
    EXPECT_EQ(ed::is_identity(t), c.order == 1);
    // The exact order: k t is the identity first at k = order.
    ed::Point acc = t;
    int order = 1;
    while (!ed::is_identity(acc) && order < 9) {
      acc = ed::add(acc, t);
      ++order;
    }
    EXPECT_EQ(order, c.order);
    // L = 5 (mod 8), so L t = 5 t; and the constant-time multiplication agrees with additions.
    const ed::Point five_t = ed::add(ed::add(ed::add(ed::add(t, t), t), t), t);
    EXPECT_TRUE(ed::equal(ed::mul(scalar_hex(kL), t), five_t));
    EXPECT_TRUE(ed::equal(ed::mul(scalar_from_u64(8), t), ed::identity()));
    for (const auto& e : seen) EXPECT_NE(e, ed::encode(t));
    seen.push_back(ed::encode(t));
  }
}

TEST(Ed25519Group, PointWithTorsionComponent) {
  const ed::Point t8 = must_decode(kOrder8);
  const ed::Point p = mixed_point();
  const auto round_trip = ed::decode(ed::encode(p));
  ASSERT_TRUE(round_trip);
  EXPECT_TRUE(ed::equal(*round_trip, p));
  EXPECT_FALSE(ed::is_small_order(p));
  // L P keeps only the torsion part: L (B + T8) = 5 T8, not the identity.
  const ed::Point lp = ed::mul(scalar_hex(kL), p);
  EXPECT_FALSE(ed::is_identity(lp));
  EXPECT_TRUE(ed::equal(lp, ed::mul(scalar_from_u64(5), t8)));
  EXPECT_TRUE(ed::is_small_order(lp));
  // 8 P loses the torsion part.
  EXPECT_TRUE(ed::equal(ed::mul_by_cofactor(p), ed::mul_by_cofactor(ed::base_point())));
  EXPECT_TRUE(ed::equal(ed::mul(scalar_from_u64(8), p), ed::mul_by_cofactor(p)));
  // B alone has order L.
  EXPECT_TRUE(ed::is_identity(ed::mul(scalar_hex(kL), ed::base_point())));
  EXPECT_FALSE(ed::is_small_order(ed::base_point()));
}

TEST(Ed25519Group, GroupLawOnRandomPointsWithTorsion) {
  const ed::Point t8 = must_decode(kOrder8);
  for (int i = 0; i < 32; ++i) {
    SCOPED_TRACE(i);
    const ed::Point p = ed::add(ed::mul_base(random_scalar()), ed::mul(scalar_from_u64(i % 8), t8));
    const ed::Point q = ed::mul_base(random_scalar());
    const ed::Point r = ed::add(ed::mul_base(random_scalar()), t8);

    EXPECT_TRUE(ed::equal(ed::add(ed::add(p, q), r), ed::add(p, ed::add(q, r))));
    EXPECT_TRUE(ed::equal(ed::add(p, q), ed::add(q, p)));
    EXPECT_TRUE(ed::equal(ed::sub(ed::add(p, q), q), p));
    EXPECT_TRUE(ed::is_identity(ed::sub(p, p)));
    EXPECT_TRUE(ed::equal(ed::add(p, ed::identity()), p));
    EXPECT_TRUE(ed::equal(ed::add(p, ed::negate(q)), ed::sub(p, q)));
    EXPECT_TRUE(ed::equal(ed::add(p, p), ed::mul(scalar_from_u64(2), p)));

    // (a + b) P = a P + b P with a + b as an integer, so the torsion part is exact too.
    const ed::Scalar a = random_wide_scalar(), b = random_wide_scalar();
    EXPECT_TRUE(ed::equal(ed::mul(add_integers(a, b), p), ed::add(ed::mul(a, p), ed::mul(b, p))));

    const auto decoded = ed::decode(ed::encode(p));
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(ed::equal(*decoded, p));
    EXPECT_EQ(ed::encode(*decoded), ed::encode(p));
  }
}

TEST(Ed25519Group, FixedBaseAgreesWithVariableBase) {
  const ed::Scalar l = scalar_hex(kL);
  for (int i = 0; i < 32; ++i) {
    const ed::Scalar s = random_scalar();
    EXPECT_TRUE(ed::equal(ed::mul_base(s), ed::mul(s, ed::base_point()))) << i;
    // mul_base takes its scalar modulo L: s + L gives the same point.
    EXPECT_TRUE(ed::equal(ed::mul_base(add_integers(s, l)), ed::mul_base(s))) << i;
  }
  const ed::Scalar extremes[] = {scalar_from_u64(0), scalar_from_u64(1), scalar_hex(kL),
                                 scalar_hex("ecd3f55c1a631258d69cf7a2def9de1400000000000000000000000000000010"),
                                 scalar_hex("ffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff")};
  for (const ed::Scalar& s : extremes) {
    SCOPED_TRACE(to_hex(s.bytes));
    EXPECT_TRUE(ed::equal(ed::mul_base(s), ed::mul(s, ed::base_point())));
  }
  EXPECT_TRUE(ed::is_identity(ed::mul_base(scalar_from_u64(0))));
  EXPECT_TRUE(ed::equal(ed::mul_base(scalar_from_u64(1)), ed::base_point()));
}

using Ed25519DoubleScalarMul = qv_test::Ed25519Backends;

TEST_P(Ed25519DoubleScalarMul, AgreesWithSeparateProducts) {
  const ed::Point t8 = must_decode(kOrder8);
  for (int i = 0; i < 32; ++i) {
    const ed::Point p = ed::add(ed::mul_base(random_scalar()), ed::mul(scalar_from_u64(i % 8), t8));
    const ed::Scalar a = random_scalar(), b = random_scalar();
    EXPECT_TRUE(ed::equal(ed::double_mul_base_vartime(a, p, b, backend()), ed::add(ed::mul(a, p), ed::mul_base(b)))) << i;
  }
  // Zero scalars and the small-order points.
  for (const SmallOrderCase& c : kSmallOrder) {
    const ed::Point t = must_decode(c.encoding);
    const ed::Scalar a = random_scalar();
    EXPECT_TRUE(ed::equal(ed::double_mul_base_vartime(a, t, scalar_from_u64(0), backend()), ed::mul(a, t)));
  }
  EXPECT_TRUE(ed::is_identity(ed::double_mul_base_vartime(scalar_from_u64(0), ed::base_point(), scalar_from_u64(0), backend())));
  // Unreduced scalars up to 2^256 - 1: the torsion part of A sees the full integer.
  const ed::Point mixed = mixed_point();
  for (const char* hex : {kL, "ffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff",
                          "ffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff7f"}) {
    const ed::Scalar s = scalar_hex(hex);
    EXPECT_TRUE(ed::equal(ed::double_mul_base_vartime(s, mixed, s, backend()), ed::add(ed::mul(s, mixed), ed::mul_base(s)))) << hex;
  }
}

// Each table entry, recomputed with the variable-base multiplication.
TEST(Ed25519Group, BaseTablesMatchComputedMultiples) {
  auto niels_of = [](const ed::Point& pt) {
    const ed::Fe zinv = ed::fe_invert(pt.p.Z);
    const ed::Fe x = ed::fe_mul(pt.p.X, zinv), y = ed::fe_mul(pt.p.Y, zinv);
    return ed::Niels{ed::fe_add(y, x), ed::fe_sub(y, x), ed::fe_mul(ed::fe_mul(x, y), ed::kD2)};
  };
  auto same = [](const ed::Niels& a, const ed::Niels& b) {
    return ed::fe_equal(a.YplusX, b.YplusX) & ed::fe_equal(a.YminusX, b.YminusX) & ed::fe_equal(a.XY2d, b.XY2d);
  };
  for (int i = 0; i < 32; ++i) {
    for (int j = 0; j < 8; ++j) {
      ed::Scalar s;  // (j + 1) * 256^i
      s.bytes[i] = static_cast<uint8_t>(j + 1);
      EXPECT_TRUE(same(ed::kBaseComb[i][j], niels_of(ed::mul(s, ed::base_point())))) << i << "," << j;
    }
  }
  for (int k = 0; k < 64; ++k)
    EXPECT_TRUE(same(ed::kBaseOdd[k], niels_of(ed::mul(scalar_from_u64(2 * k + 1), ed::base_point())))) << k;
}

QV_ED25519_ALL_BACKENDS(Ed25519DoubleScalarMul);

}  // namespace
