#include "vrf_p256/ec.hpp"

#include <openssl/obj_mac.h>

#include <new>
#include <stdexcept>

#include "ct/valgrind_taint.hpp"

namespace quorvantile_crypto::vrf_p256 {
namespace {

BIGNUM* owned_bn() {
  BIGNUM* bn = BN_new();
  if (bn == nullptr) throw std::bad_alloc();
  return bn;
}

Curve build_curve() {
  Curve c{};
  EC_GROUP* group = EC_GROUP_new_by_curve_name(NID_X9_62_prime256v1);
  if (group == nullptr) fail("P-256 group unavailable");
  BnCtx ctx = new_bn_ctx();
  BIGNUM* p = owned_bn();
  BIGNUM* a = owned_bn();
  BIGNUM* b = owned_bn();
  BIGNUM* n = owned_bn();
  check(EC_GROUP_get_curve(group, p, a, b, ctx.get()), "EC_GROUP_get_curve");
  check(BN_copy(n, EC_GROUP_get0_order(group)) != nullptr, "BN_copy");
  BN_free(a);

  BIGNUM* half_p = owned_bn();
  check(BN_rshift1(half_p, p), "BN_rshift1");

  BN_MONT_CTX* mont = BN_MONT_CTX_new();
  if (mont == nullptr) throw std::bad_alloc();
  check(BN_MONT_CTX_set(mont, p, ctx.get()), "BN_MONT_CTX_set");
  BIGNUM* b_mont = owned_bn();
  check(BN_to_montgomery(b_mont, b, mont, ctx.get()), "BN_to_montgomery");

  c.group = group;
  c.p = p;
  c.n = n;
  c.b = b;
  c.b_mont = b_mont;
  c.half_p = half_p;
  c.mont_p = mont;
  bn_to_be(p, c.p_bytes.data(), c.p_bytes.size());
  bn_to_be(n, c.n_bytes.data(), c.n_bytes.size());
  return c;
}

}  // namespace

const Curve& curve() {
  static const Curve instance = build_curve();
  return instance;
}

[[noreturn]] void fail(const char* what) { throw std::runtime_error(what); }

void check(int ok, const char* what) {
  if (ok != 1) fail(what);
}

Bn new_bn() { return Bn(owned_bn()); }

Bn new_secret_bn() {
  Bn bn = new_bn();
  BN_set_flags(bn.get(), BN_FLG_CONSTTIME);
  return bn;
}

BnCtx new_bn_ctx() {
  BnCtx ctx(BN_CTX_new());
  if (!ctx) throw std::bad_alloc();
  return ctx;
}

Point new_point() {
  Point point(EC_POINT_new(curve().group));
  if (!point) throw std::bad_alloc();
  return point;
}

Bn bn_from_be(ByteView bytes) {
  Bn bn = new_bn();
  check(BN_bin2bn(bytes.data(), static_cast<int>(bytes.size()), bn.get()) != nullptr, "BN_bin2bn");
  return bn;
}

Bn secret_bn_from_be(ByteView bytes) {
  Bn bn = new_secret_bn();
  check(BN_bin2bn(bytes.data(), static_cast<int>(bytes.size()), bn.get()) != nullptr, "BN_bin2bn");
  return bn;
}

void bn_to_be(const BIGNUM* bn, uint8_t* out, std::size_t len) {
  check(BN_bn2binpad(bn, out, static_cast<int>(len)) == static_cast<int>(len), "BN_bn2binpad");
}

Point mul_base_plus(const BIGNUM* a, const EC_POINT* q, const BIGNUM* b, BN_CTX* ctx) {
  Point out = new_point();
  check(EC_POINT_mul(curve().group, out.get(), a, q, b, ctx), "EC_POINT_mul");
  return out;
}

// OpenSSL 3 deprecates its multi-point interface (EC_POINTs_mul), but EC_POINT_mul treats the
// generator of a group as one more point when no precomputed table matches it, and multiplies
// the two together with shared doublings. So P becomes the generator of a copy of the curve made
// for this multiplication; the copy keeps the curve's arithmetic and its points stay compatible.
Point mul_two(const EC_POINT* p, const BIGNUM* a, const EC_POINT* q, const BIGNUM* b, BN_CTX* ctx) {
  const Curve& c = curve();
  Group with_p(EC_GROUP_dup(c.group));
  if (!with_p) throw std::bad_alloc();
  check(EC_GROUP_set_generator(with_p.get(), p, c.n, BN_value_one()), "EC_GROUP_set_generator");
  Point out = new_point();
  check(EC_POINT_mul(with_p.get(), out.get(), a, q, b, ctx), "EC_POINT_mul");
  return out;
}

// The one place a secret scalar reaches OpenSSL. OpenSSL 3.0 documents (EC_POINT_mul(3)) that a
// single fixed-point (generator) or variable-point multiplication uses a constant-time algorithm
// when the scalar lies in [0, group order); both conditions hold here, since k is a validated key
// or an RFC 6979 nonce in [1, n-1], and no call passes two scalars. The scalar's BIGNUM carries
// BN_FLG_CONSTTIME, which makes any division, modular exponentiation or inversion OpenSSL does on
// it take the branch-free variant (bn.h), and it exists only for this call and is cleared on
// release. The conversion into it (BN_bin2bn) is not constant time: it skips leading zero bytes
// and sets the BIGNUM's word count from the value. So the constant-time check takes this function
// on trust: the scalar is unmarked for the conversion and the multiplication and marked secret
// again on the way out. The products (the public key, Gamma, and U = k*G and V = k*H, which every
// verifier recomputes from the proof) are public.
Point mul_secret(const EC_POINT* point, const Bytes32& k, BN_CTX* ctx) {
  const ct::UncheckedScope unchecked(k.data(), k.size());
  Point out = new_point();
  Bn scalar = secret_bn_from_be(k);
  const int ok = point == nullptr ? EC_POINT_mul(curve().group, out.get(), scalar.get(), nullptr, nullptr, ctx)
                                  : EC_POINT_mul(curve().group, out.get(), nullptr, point, scalar.get(), ctx);
  check(ok, "EC_POINT_mul");
  return out;
}

bool is_identity(const EC_POINT* point) { return EC_POINT_is_at_infinity(curve().group, point) == 1; }

}  // namespace quorvantile_crypto::vrf_p256
