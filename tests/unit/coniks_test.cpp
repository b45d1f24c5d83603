// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include <gtest/gtest.h>

#include <string>

#include "coniks/auth_path.hpp"
#include "coniks/read_lp.hpp"
#include "coniks/verify.hpp"
#include "coniks_directory.hpp"

namespace quorvantile_log::coniks {
namespace {

using qv_test::coniks::Directory;
using qv_test::ref::Bytes;
using qv_test::ref::cat;
using qv_test::ref::text;
using qv_test::ref::u32be;

const std::string kNs = "acme.example";
const std::string kMalformed = "malformed coniks proof: ";
const std::string kRootMismatch =
    "coniks proof root mismatch: recomputed directory root does not match the expected root";
const std::string kVrfInvalid = "vrf proof did not verify against the namespace public key";

Bytes secret(uint8_t seed) { return Bytes(32, seed); }
Bytes identity(int i) { return text("user-" + std::to_string(i) + "@acme.example"); }
Bytes opening(int i) { return Bytes(32, static_cast<uint8_t>(0xA0 + i % 50)); }
Bytes value(int i) { return text("key material " + std::to_string(i * 7919)); }

Directory directory(int entries, const std::string& ns = kNs) {
  Directory d(ns, secret(0x42));
  for (int i = 0; i < entries; ++i) d.add({identity(i), value(i), opening(i)});
  return d;
}

std::string lookup(const Directory& d, const Bytes& id, const Bytes& proof, const Bytes& root,
                   const std::string& ns = kNs) {
  auto r = coniks_verify_lookup(ns, d.vrf_public(), root, id, proof);
  return r ? "value " + std::string(r->begin(), r->end()) : r.error().message;
}

std::string absence(const Directory& d, const Bytes& id, const Bytes& proof, const Bytes& root,
                    const std::string& ns = kNs) {
  auto r = coniks_verify_absence(ns, d.vrf_public(), root, id, proof);
  return r ? "absent" : r.error().message;
}

std::string as_value(const Bytes& v) { return "value " + std::string(v.begin(), v.end()); }

TEST(ConiksDirectory, RealProofsVerifyForDirectoriesOf0To200Entries) {
  for (int n : {0, 1, 2, 200}) {
    SCOPED_TRACE(n);
    const Directory d = directory(n);
    const Bytes root = d.root();
    for (int i : {0, 1, 57, 199}) {
      if (i >= n) continue;
      EXPECT_EQ(lookup(d, identity(i), d.lookup_proof(identity(i)), root), as_value(value(i)));
    }
    for (int i : {1000, 1001, 1002}) EXPECT_EQ(absence(d, identity(i), d.absence_proof(identity(i)), root), "absent");
  }
}

TEST(ConiksDirectory, EmptyIdentityZeroLengthValueAndEmptySiblingsMarkedPresent) {
  Directory d(kNs, secret(7));
  d.add({{}, {}, opening(1)});
  d.add({identity(1), value(1), opening(2)});
  const Bytes root = d.root();
  EXPECT_EQ(lookup(d, {}, d.lookup_proof({}), root), "value ");
  // The single entry of a one-entry directory is proven by an all-zero bitmap.
  Directory one(kNs, secret(7));
  one.add({identity(3), value(3), opening(3)});
  const Bytes p = one.lookup_proof(identity(3));
  EXPECT_EQ(Bytes(p.end() - 32, p.end()), Bytes(32, 0));
  EXPECT_EQ(lookup(one, identity(3), p, one.root()), as_value(value(3)));
  // Against the empty-directory root, any identity is absent with an all-zero bitmap.
  const Directory none(kNs, secret(7));
  EXPECT_EQ(absence(none, identity(9), none.absence_proof(identity(9)), none.root()), "absent");
  // A sibling listed although it is the empty hash gives the same root.
  const Bytes vrf = d.vrf_proof(identity(1));
  const Bytes explicit_empty =
      cat({Bytes{0x01}, u32be(80), vrf, u32be(static_cast<uint32_t>(value(1).size())), value(1), opening(2),
           d.auth_path(identity(1), {3, 100, 255})});
  EXPECT_EQ(lookup(d, identity(1), explicit_empty, root), as_value(value(1)));
}

// One-byte changes of every part of a valid proof, each with the message it must give.
TEST(ConiksDirectory, OneByteChangesFailWithTheirMessage) {
  const Directory d = directory(2);
  const Bytes root = d.root();
  const Bytes id = identity(1);
  const Bytes good = d.lookup_proof(id);
  const std::size_t value_at = 1 + 4 + 80 + 4, opening_at = value_at + value(1).size(), path_at = opening_at + 32;
  ASSERT_GT(good.size(), path_at + 32) << "the path must carry a sibling";
  auto flip = [](Bytes b, std::size_t at, uint8_t mask = 0x01) {
    b[at] ^= mask;
    return b;
  };
  const Bytes bitmap_gains_bit = flip(good, path_at + 31, good[path_at + 31] & 1 ? 2 : 1);
  struct Row {
    const char* what;
    Bytes proof, root;
    std::string ns, want;
  } rows[] = {
      {"value", flip(good, value_at), root, kNs, kRootMismatch},
      {"opening", flip(good, opening_at + 5), root, kNs, kRootMismatch},
      {"sibling", flip(good, path_at + 32 + 17), root, kNs, kRootMismatch},
      {"root", good, flip(root, 63), kNs, kRootMismatch},
      {"vrf proof gamma", flip(good, 5 + 3), root, kNs, kVrfInvalid},
      {"vrf proof s", flip(good, 5 + 60), root, kNs, kVrfInvalid},
      {"namespace", good, root, "acme.exampld", kVrfInvalid},
      {"bitmap gains a bit", bitmap_gains_bit, root, kNs,
       kMalformed + "authentication path: bitmap implies " +
           std::to_string((good.size() - path_at - 32) / 64 + 1) + " sibling hashes (" +
           std::to_string(32 + 64 * ((good.size() - path_at - 32) / 64 + 1)) + " bytes), only " +
           std::to_string(good.size() - path_at) + " available"},
  };
  for (const Row& r : rows) EXPECT_EQ(lookup(d, id, r.proof, r.root, r.ns), r.want) << r.what;

  const Bytes absent = identity(500);
  const Bytes a = d.absence_proof(absent);
  EXPECT_EQ(absence(d, absent, a, root), "absent");
  EXPECT_EQ(absence(d, absent, flip(a, a.size() - 1), root), kRootMismatch);
  EXPECT_EQ(absence(d, absent, flip(a, 20), root), kVrfInvalid);
  EXPECT_EQ(absence(d, identity(0), d.absence_proof(identity(0)), root), kRootMismatch) << "present identity";
}

TEST(ConiksDirectory, EdgeCasesInCheckOrder) {
  const Directory d = directory(1);
  const Bytes root = d.root();
  const Bytes id = identity(0);
  const Bytes lp = d.lookup_proof(id);
  const Bytes ap = d.absence_proof(identity(5));
  const Bytes path = Bytes(32, 0);
  const Bytes vrf = d.vrf_proof(id);
  const std::string ns_msg = "malformed namespace: namespace must be non-empty printable ASCII without '/': ";
  struct Row {
    const char* what;
    bool presence;
    std::string ns;
    Bytes vrf_public, root, proof;
    std::string want;
  } rows[] = {
      {"namespace with slash", true, "a/b", d.vrf_public(), Bytes(1), {}, ns_msg + "\"a/b\""},
      {"empty namespace", false, "", d.vrf_public(), root, ap, ns_msg + "\"\""},
      {"namespace with space", true, "a b", d.vrf_public(), root, lp, ns_msg + "\"a b\""},
      {"non-ascii namespace", false, "\xc3\xa9", d.vrf_public(), root, ap, ns_msg + "\"\xc3\xa9\""},
      {"63-byte root before proof", true, kNs, d.vrf_public(), Bytes(63), {}, "coniks root must be exactly 64 bytes"},
      {"65-byte root", false, kNs, d.vrf_public(), Bytes(65), ap, "coniks root must be exactly 64 bytes"},
      {"empty proof", true, kNs, d.vrf_public(), root, {}, kMalformed + "empty proof"},
      {"empty absence proof", false, kNs, d.vrf_public(), root, {}, kMalformed + "empty proof"},
      {"absence proof to lookup", true, kNs, d.vrf_public(), root, ap,
       kMalformed + "expected presence tag 0x01, got 0x00"},
      {"presence proof to absence", false, kNs, d.vrf_public(), root, lp,
       kMalformed + "expected absence tag 0x00, got 0x01"},
      {"tag 0xff", true, kNs, d.vrf_public(), root, Bytes{0xff}, kMalformed + "expected presence tag 0x01, got 0xff"},
      {"trailing byte", true, kNs, d.vrf_public(), root, cat({lp, Bytes{0}}),
       kMalformed + "trailing bytes after authentication path"},
      {"trailing byte absence", false, kNs, d.vrf_public(), root, cat({ap, Bytes{0}}),
       kMalformed + "trailing bytes after authentication path"},
      {"31-byte public key", true, kNs, Bytes(31), root, lp, "vrf error: invalid length: expected 32 bytes, got 31"},
      {"79-byte vrf proof", true, kNs, d.vrf_public(), root,
       cat({Bytes{0x01}, u32be(79), Bytes(vrf.begin(), vrf.end() - 1), u32be(0), opening(0), path}),
       "vrf error: invalid length: expected 80 bytes, got 79"},
      {"empty vrf proof", false, kNs, d.vrf_public(), root, cat({Bytes{0x00}, u32be(0), path}),
       "vrf error: invalid length: expected 80 bytes, got 0"},
      {"vrf length prefix too large", false, kNs, d.vrf_public(), root, cat({Bytes{0x00}, u32be(0xFFFFFFFF), path}),
       kMalformed + "vrf proof: length prefix 4294967295 overruns available bytes"},
  };
  for (const Row& r : rows) {
    std::string got;
    if (r.presence) {
      auto l = coniks_verify_lookup(r.ns, r.vrf_public, r.root, id, r.proof);
      got = l ? "ok" : l.error().message;
    } else {
      auto a = coniks_verify_absence(r.ns, r.vrf_public, r.root, id, r.proof);
      got = a ? "ok" : a.error().message;
    }
    EXPECT_EQ(got, r.want) << r.what;
  }
}

// Every cut of a valid proof of each layout gives the message of the field it lands in.
TEST(ConiksDirectory, EveryTruncationPointOfBothLayouts) {
  const Directory d = directory(2);
  const Bytes root = d.root();
  const Bytes id = identity(0);
  const Bytes full = d.lookup_proof(id);
  const std::size_t lx = value(0).size(), path_at = 1 + 4 + 80 + 4 + lx + 32;
  auto expected = [&](std::size_t len, std::size_t path_start, std::size_t k) -> std::string {
    const std::size_t vrf_end = 85;
    const bool presence = path_start != vrf_end;
    if (len == 0) return kMalformed + "empty proof";
    if (len < 5) return kMalformed + "vrf proof: missing 4-byte length prefix";
    if (len < vrf_end) return kMalformed + "vrf proof: length prefix 80 overruns available bytes";
    if (presence && len < vrf_end + 4) return kMalformed + "value: missing 4-byte length prefix";
    if (presence && len < vrf_end + 4 + lx) return kMalformed + "value: length prefix " + std::to_string(lx) +
                                                   " overruns available bytes";
    if (presence && len < path_start) return kMalformed + "missing opening";
    if (len < path_start + 32) return kMalformed + "authentication path shorter than its bitmap";
    return kMalformed + "authentication path: bitmap implies " + std::to_string(k) + " sibling hashes (" +
           std::to_string(32 + 64 * k) + " bytes), only " + std::to_string(len - path_start) + " available";
  };
  for (std::size_t len = 0; len < full.size(); ++len) {
    const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(len));
    ASSERT_EQ(lookup(d, id, cut, root), expected(len, path_at, (full.size() - path_at - 32) / 64)) << len;
  }
  const Bytes absent = identity(77);
  const Bytes afull = d.absence_proof(absent);
  for (std::size_t len = 0; len < afull.size(); ++len) {
    const Bytes cut(afull.begin(), afull.begin() + static_cast<std::ptrdiff_t>(len));
    ASSERT_EQ(absence(d, absent, cut, root), expected(len, 85, (afull.size() - 85 - 32) / 64)) << len;
  }
}

TEST(ConiksParsers, ReadLpAndAuthPathBounds) {
  const Bytes b = cat({u32be(3), Bytes{9, 8, 7}, u32be(2)});
  auto first = read_lp(b, 0, "value");
  ASSERT_TRUE(first);
  EXPECT_EQ(Bytes(first->bytes.begin(), first->bytes.end()), (Bytes{9, 8, 7}));
  EXPECT_EQ(first->next, 7u);
  EXPECT_EQ(read_lp(b, 7, "value").error().render(), kMalformed + "value: length prefix 2 overruns available bytes");
  EXPECT_EQ(read_lp(b, 9, "value").error().render(), kMalformed + "value: missing 4-byte length prefix");
  EXPECT_EQ(read_lp(b, 99, "value").error().render(), kMalformed + "value: missing 4-byte length prefix");

  Bytes all = Bytes(32, 0xFF);
  EXPECT_EQ(AuthPath::parse(all).error().render(), kMalformed +
                                                       "authentication path: bitmap implies 256 sibling hashes (16416 "
                                                       "bytes), only 32 available");
  all.resize(32 + 64 * 256 + 5, 0x11);
  auto parsed = AuthPath::parse(all);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->consumed, 32u + 64 * 256);
  EXPECT_EQ(parsed->path.siblings[255], all.data() + 32 + 64 * 255);
}

}  // namespace
}  // namespace quorvantile_log::coniks
