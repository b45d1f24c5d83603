#pragma once
// P-256 through OpenSSL's EC_GROUP / EC_POINT / BIGNUM, wrapped once: owning handles, the shared
// curve, single-scalar multiplication for secrets and double-scalar multiplication for public data. Secret scalars are freed with BN_clear_free and
// carry BN_FLG_CONSTTIME; points that depend on secrets are freed with EC_POINT_clear_free.
#include <openssl/bn.h>
#include <openssl/ec.h>

#include <array>
#include <cstdint>
#include <memory>

#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_crypto::vrf_p256 {

struct BnFree {
  void operator()(BIGNUM* bn) const { BN_clear_free(bn); }
};
// Every BIGNUM is cleared on release: the cost is negligible and no call site has to decide.
using Bn = std::unique_ptr<BIGNUM, BnFree>;

struct PointFree {
  void operator()(EC_POINT* point) const { EC_POINT_clear_free(point); }
};
using Point = std::unique_ptr<EC_POINT, PointFree>;

struct BnCtxFree {
  void operator()(BN_CTX* ctx) const { BN_CTX_free(ctx); }
};
using BnCtx = std::unique_ptr<BN_CTX, BnCtxFree>;

struct GroupFree {
  void operator()(EC_GROUP* group) const { EC_GROUP_free(group); }
};
using Group = std::unique_ptr<EC_GROUP, GroupFree>;

using Bytes32 = std::array<uint8_t, 32>;

// The curve and its constants, built once per process and only read afterwards.
struct Curve {
  const EC_GROUP* group;
  const BIGNUM* p;             // field prime
  const BIGNUM* n;             // group order
  const BIGNUM* b;             // curve constant (a = -3)
  const BIGNUM* b_mont;        // b in Montgomery form modulo p
  const BIGNUM* half_p;        // (p - 1) / 2
  BN_MONT_CTX* mont_p;         // Montgomery context of p, only read
  Bytes32 p_bytes;             // p big-endian
  Bytes32 n_bytes;             // n big-endian
};
const Curve& curve();

// Allocation helpers; OpenSSL allocation failure throws std::bad_alloc.
Bn new_bn();
Bn new_secret_bn();  // flagged BN_FLG_CONSTTIME
BnCtx new_bn_ctx();
Point new_point();

// Big-endian bytes <-> BIGNUM.
Bn bn_from_be(ByteView bytes);
Bn secret_bn_from_be(ByteView bytes);
void bn_to_be(const BIGNUM* bn, uint8_t* out, std::size_t len);

// a*G + b*Q for public scalars and a public point: one multiplication, the generator's share
// from OpenSSL's precomputed table. Variable time.
Point mul_base_plus(const BIGNUM* a, const EC_POINT* q, const BIGNUM* b, BN_CTX* ctx);
// a*P + b*Q for public scalars and public points, P not the identity: one multiplication with
// shared doublings. Variable time.
Point mul_two(const EC_POINT* p, const BIGNUM* a, const EC_POINT* q, const BIGNUM* b, BN_CTX* ctx);
// k*G (point null) or k*point for a secret k in [1, n-1], big-endian. The only place a secret
// scalar reaches OpenSSL; see the definition for what OpenSSL promises there.
Point mul_secret(const EC_POINT* point, const Bytes32& k, BN_CTX* ctx);
bool is_identity(const EC_POINT* point);

// Any unexpected OpenSSL failure is an internal fault.
[[noreturn]] void fail(const char* what);
void check(int ok, const char* what);

}  // namespace quorvantile_crypto::vrf_p256
