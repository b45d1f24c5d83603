// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Signed namespace policies: the generated envelopes (independent signer), the parser's and
// validator's messages, truncation at every field, and the five enforcement checks, through the
// work operations and the exported C functions.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "../abi/abi_support.hpp"
#include "encoding/base64.hpp"
#include "policy/namespace_policy.hpp"
#include "policy/operations.hpp"
#include "policy/posture_tags.hpp"
#include "quorvantile_crypto/hash.hpp"
#include "test_support.hpp"

namespace quorvantile_log::policy {
namespace {

using qv_abi::Bytes;

const std::string kPrefix = "malformed namespace policy: ";

struct Fixture {
  std::string name;
  Bytes envelope, record, canonical;
  std::string label, error;
  nlohmann::json posture;
};

const std::vector<Fixture>& fixtures() {
  static const std::vector<Fixture> all = [] {
    std::vector<Fixture> out;
    const auto doc = qv_test::read_json(qv_test::data_dir() / "policy" / "policies.json");
    for (const auto& c : doc["cases"]) {
      out.push_back({c["name"], qv_test::from_hex(c["envelope"].get<std::string>()),
                     qv_test::from_hex(c["record"].get<std::string>()),
                     qv_test::from_hex(c["canonical"].get<std::string>()), c["context_label"], c.value("error", ""),
                     c.value("posture", nlohmann::json{})});
    }
    return out;
  }();
  return all;
}

const Fixture& fixture(std::string_view prefix) {
  for (const auto& f : fixtures())
    if (f.name.starts_with(prefix)) return f;
  throw std::runtime_error("no fixture " + std::string(prefix));
}

std::string message(const Result<void>& r) { return r ? "ok" : r.error().render(); }
template <class T>
std::string message(const Result<T>& r) {
  return r ? "ok" : r.error().render();
}

// --- an encoder of records and envelopes, fields as raw numbers so that bad tags can be written

void put(Bytes& out, uint64_t v, int width) {
  for (int s = 8 * (width - 1); s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}
void put_lp(Bytes& out, const Bytes& b) {
  put(out, b.size(), 4);
  out.insert(out.end(), b.begin(), b.end());
}

struct Record {
  uint32_t version = 2;
  Bytes ns = {'a', 'c', 'm', 'e'};
  uint32_t schema = 1;
  uint8_t level = 3, suite = 1, commitment = 1, vrf = 1;
  uint64_t effective_from = 7, created_at = 9;
  Bytes prev = Bytes(64, 0xab);
  uint8_t mode = 2;
  uint16_t keytrans = 0xF000;

  Bytes bytes() const {
    Bytes out;
    put(out, version, 4);
    put_lp(out, ns);
    put(out, schema, 4);
    for (uint8_t t : {level, suite, commitment, vrf}) out.push_back(t);
    put(out, effective_from, 8);
    put(out, created_at, 8);
    put_lp(out, prev);
    if (version == 2) {
      out.push_back(mode);
      put(out, keytrans, 2);
    }
    return out;
  }
};

Bytes envelope_of(const Bytes& record, const Bytes& key = {0x02, 1}, const Bytes& sig = {0x02, 2}) {
  Bytes out;
  put(out, 1, 4);
  put_lp(out, record);
  put_lp(out, key);
  put_lp(out, sig);
  return out;
}

// --- the generated envelopes

TEST(PolicyFixtures, EveryEnvelopeVerifiesOrFailsAsGenerated) {
  ASSERT_GE(fixtures().size(), 15u);
  for (const auto& f : fixtures()) {
    SCOPED_TRACE(f.name);
    const auto parsed = SignedPolicy::parse(f.envelope);
    ASSERT_TRUE(parsed) << parsed.error().render();
    EXPECT_EQ(parsed->policy.canonical_bytes(), f.canonical);
    EXPECT_EQ(parsed->policy.context_label().value(), f.label);
    const auto posture = signed_policy_verify(f.envelope);
    if (!f.error.empty()) {
      EXPECT_EQ(message(posture), f.error);
      continue;
    }
    ASSERT_TRUE(posture) << posture.error().render();
    const auto& want = f.posture;
    EXPECT_EQ(posture->namespace_, want["namespace"]);
    EXPECT_EQ(posture->policy_schema_version, want["policy_schema_version"].get<uint32_t>());
    EXPECT_EQ(name_of(posture->security_level), want["security_level"]);
    EXPECT_EQ(name_of(posture->checkpoint_suite), want["checkpoint_suite"]);
    EXPECT_EQ(name_of(posture->commitment_hash), want["commitment_hash"]);
    EXPECT_EQ(name_of(posture->vrf_mode), want["vrf_mode"]);
    EXPECT_EQ(name_of(posture->directory_mode), want["directory_mode"]);
    EXPECT_EQ(name_of(posture->keytrans_suite), want["keytrans_suite"]);
    EXPECT_EQ(posture->effective_from, std::stoull(want["effective_from"].get<std::string>()));
    EXPECT_EQ(posture->created_at, std::stoull(want["created_at"].get<std::string>()));
    EXPECT_EQ(qv_test::to_hex(posture->policy_hash), want["policy_hash"]);
    EXPECT_EQ(qv_test::to_hex(posture->rfc6962_leaf_hash), want["rfc6962_leaf_hash"]);
    const auto prev = parsed->policy.prev_policy_hash;
    EXPECT_EQ(prev ? qv_test::to_hex(*prev) : "", want["prev_policy_hash"]);
  }
}

TEST(PolicyFixtures, ChainLinksAreThePreviousPolicyHash) {
  const auto first = signed_policy_verify(fixture("acme genesis").envelope).value();
  const auto second = SignedPolicy::parse(fixture("acme second").envelope).value();
  ASSERT_TRUE(second.policy.prev_policy_hash);
  EXPECT_EQ(Bytes(second.policy.prev_policy_hash->begin(), second.policy.prev_policy_hash->end()), first.policy_hash);
}

TEST(PolicyFixtures, GenesisConiksCanonicalBytesAndLeafHash) {
  const Fixture& f = fixture("acme genesis");
  const Bytes head = {0, 0, 0, 1, 0, 0, 0, 4, 0x61, 0x63, 0x6d, 0x65};
  EXPECT_TRUE(std::equal(head.begin(), head.end(), f.canonical.begin()));
  EXPECT_EQ(f.canonical.size(), 36u + 4u);
  Bytes leaf_input{0x00};
  leaf_input.insert(leaf_input.end(), f.canonical.begin(), f.canonical.end());
  const auto sha = quorvantile_crypto::sha256(leaf_input);
  EXPECT_EQ(signed_policy_verify(f.envelope).value().rfc6962_leaf_hash, Bytes(sha.begin(), sha.end()));
}

TEST(PolicyFixtures, VersionTwoConiksRecordReencodesAsVersionOne) {
  const Fixture& f = fixture("acme third");
  EXPECT_EQ(f.record[3], 2);
  EXPECT_EQ(f.canonical[3], 1);
  EXPECT_EQ(f.canonical.size() + 3, f.record.size());
  EXPECT_TRUE(signed_policy_verify(f.envelope));
}

// Any one changed byte of the record, key or signature fails: a message, never a crash.
TEST(PolicyFixtures, TamperedEnvelopesFail) {
  const Fixture& f = fixture("acme genesis");
  const std::string invalid = "invalid signature for known key \"acme/namespace-policy\" (key id 00000000)";
  const std::size_t record_end = 8 + f.record.size();
  const std::pair<std::string, std::size_t> rows[] = {
      {"created_at", 8 + 28}, {"effective_from last byte", 8 + 27}, {"first key byte after tag", record_end + 4 + 1},
      {"last signature byte", f.envelope.size() - 1}, {"ml-dsa part of the key", record_end + 4 + 100}};
  for (const auto& [where, at] : rows) {
    Bytes e = f.envelope;
    e[at] ^= 0x01;
    EXPECT_EQ(message(verified_policy(e)), invalid) << where;
  }
}

// --- parser and validator messages

struct ParseRow {
  std::string name;
  std::function<Bytes()> envelope;
  std::string want;
};

Bytes with(const std::function<void(Record&)>& edit) {
  Record r;
  edit(r);
  return envelope_of(r.bytes());
}

TEST(PolicyParse, Messages) {
  const std::string ns_rule = "malformed namespace: namespace must be non-empty printable ASCII without '/': ";
  const ParseRow rows[] = {
      {"three-byte envelope", [] { return Bytes{0, 0, 0}; }, kPrefix + "field of 4 bytes overruns the 3-byte buffer at offset 0"},
      {"empty envelope", [] { return Bytes{}; }, kPrefix + "field of 4 bytes overruns the 0-byte buffer at offset 0"},
      {"format version 2", [] { Bytes e = envelope_of(Record{}.bytes()); e[3] = 2; return e; },
       kPrefix + "unknown signed-policy format version 2"},
      {"format version 0", [] { Bytes e = envelope_of(Record{}.bytes()); e[3] = 0; return e; },
       kPrefix + "unknown signed-policy format version 0"},
      {"record version 3", [] { return with([](Record& r) { r.version = 3; }); }, kPrefix + "unknown policy format version 3"},
      {"record version 0", [] { return with([](Record& r) { r.version = 0; }); }, kPrefix + "unknown policy format version 0"},
      {"record version 4294967295", [] { return with([](Record& r) { r.version = 0xFFFFFFFF; }); },
       kPrefix + "unknown policy format version 4294967295"},
      {"namespace not UTF-8", [] { return with([](Record& r) { r.ns = {'a', 0xC3}; }); }, kPrefix + "namespace is not valid UTF-8"},
      {"namespace UTF-8 but not printable ASCII", [] { return with([](Record& r) { r.ns = {'a', 0xC3, 0xA9}; }); },
       ns_rule + "\"a\xC3\xA9\""},
      {"namespace empty", [] { return with([](Record& r) { r.ns = {}; }); }, ns_rule + "\"\""},
      {"namespace with '/'", [] { return with([](Record& r) { r.ns = {'a', '/', 'b'}; }); }, ns_rule + "\"a/b\""},
      {"namespace with a space", [] { return with([](Record& r) { r.ns = {'a', ' ', 'b'}; }); }, ns_rule + "\"a b\""},
      {"namespace with DEL", [] { return with([](Record& r) { r.ns = {'a', 0x7F}; }); }, ns_rule + "\"a\\u{7f}\""},
      {"security_level tag 4", [] { return with([](Record& r) { r.level = 4; }); }, kPrefix + "unknown security_level tag 0x04"},
      {"security_level tag 0xff", [] { return with([](Record& r) { r.level = 0xFF; }); }, kPrefix + "unknown security_level tag 0xff"},
      {"bad level is reported before a bad suite",
       [] { return with([](Record& r) { r.level = 0; r.suite = 0; }); }, kPrefix + "unknown security_level tag 0x00"},
      {"checkpoint_suite tag 0", [] { return with([](Record& r) { r.suite = 0; }); }, kPrefix + "unknown checkpoint_suite tag 0x00"},
      {"checkpoint_suite tag 4", [] { return with([](Record& r) { r.suite = 4; }); }, kPrefix + "unknown checkpoint_suite tag 0x04"},
      {"commitment_hash tag 3", [] { return with([](Record& r) { r.commitment = 3; }); }, kPrefix + "unknown commitment_hash tag 0x03"},
      {"vrf_mode tag 4", [] { return with([](Record& r) { r.vrf = 4; }); }, kPrefix + "unknown vrf_mode tag 0x04"},
      {"prev_policy_hash of 32 bytes", [] { return with([](Record& r) { r.prev = Bytes(32); }); },
       kPrefix + "prev_policy_hash is 32 bytes, want 0 (genesis) or 64"},
      {"prev_policy_hash of 65 bytes", [] { return with([](Record& r) { r.prev = Bytes(65); }); },
       kPrefix + "prev_policy_hash is 65 bytes, want 0 (genesis) or 64"},
      {"directory_mode tag 3", [] { return with([](Record& r) { r.mode = 3; }); }, kPrefix + "unknown directory_mode tag 0x03"},
      {"keytrans_suite id 3", [] { return with([](Record& r) { r.keytrans = 3; }); }, kPrefix + "unknown keytrans_suite id 0x0003"},
      {"keytrans_suite id 0xf004", [] { return with([](Record& r) { r.keytrans = 0xF004; }); },
       kPrefix + "unknown keytrans_suite id 0xf004"},
      {"trailing record byte", [] { Bytes rec = Record{}.bytes(); rec.push_back(0); return envelope_of(rec); },
       kPrefix + "trailing bytes after policy record"},
      {"version-1 record carrying directory fields",
       [] { Record r; r.version = 1; Bytes rec = r.bytes(); rec.insert(rec.end(), {2, 0xF0, 0x00}); return envelope_of(rec); },
       kPrefix + "trailing bytes after policy record"},
      {"schema version 0", [] { return with([](Record& r) { r.schema = 0; }); }, kPrefix + "policy_schema_version must be >= 1"},
      {"schema 0 is reported before other rules", [] { return with([](Record& r) { r.schema = 0; r.vrf = 2; }); },
       kPrefix + "policy_schema_version must be >= 1"},
      {"Cat3 with Sha3_512", [] { return with([](Record& r) { r.commitment = 2; }); },
       kPrefix + "commitment_hash Sha3_512 does not match the one derived from security_level Cat3"},
      {"Cat5 with Sha3_256", [] { return with([](Record& r) { r.level = 5; }); },
       kPrefix + "commitment_hash Sha3_256 does not match the one derived from security_level Cat5"},
      {"vrf_mode HybridOutput", [] { return with([](Record& r) { r.vrf = 2; }); },
       kPrefix + "vrf_mode HybridOutput is not legal in v0.1 (only Classical)"},
      {"vrf_mode PurePqExperimental", [] { return with([](Record& r) { r.vrf = 3; }); },
       kPrefix + "vrf_mode PurePqExperimental is not legal in v0.1 (only Classical)"},
      {"PureCnsa2 at Cat3", [] { return with([](Record& r) { r.suite = 3; }); },
       kPrefix + "PureCnsa2 checkpoint_suite requires security_level Cat5"},
      {"Coniks with Kt128Sha256P256", [] { return with([](Record& r) { r.mode = 1; r.keytrans = 1; }); },
       kPrefix + "keytrans_suite Kt128Sha256P256 is only meaningful on the Keytrans route"},
      {"Coniks with Kt128Sha256Ed25519", [] { return with([](Record& r) { r.mode = 1; r.keytrans = 2; }); },
       kPrefix + "keytrans_suite Kt128Sha256Ed25519 is only meaningful on the Keytrans route"},
      {"empty key, bytes following", [] { Bytes e = envelope_of(Record{}.bytes(), {}, {1}); e.push_back(9); return e; },
       kPrefix + "signed policy must carry a non-empty key and signature"},
      {"empty signature", [] { return envelope_of(Record{}.bytes(), {1}, {}); },
       kPrefix + "signed policy must carry a non-empty key and signature"},
      {"one byte after the signature", [] { Bytes e = envelope_of(Record{}.bytes()); e.push_back(0); return e; },
       kPrefix + "trailing bytes after signed policy envelope"},
      {"record errors come before the key checks", [] { Record r; r.level = 9; return envelope_of(r.bytes(), {}, {}); },
       kPrefix + "unknown security_level tag 0x09"},
  };
  for (const auto& row : rows) EXPECT_EQ(message(SignedPolicy::parse(row.envelope())), row.want) << row.name;
}

TEST(PolicyParse, ConiksVersionTwoWithTheHybridSuiteIsVersionOneForm) {
  Record v2;
  v2.mode = 1;
  Record v1 = v2;
  v1.version = 1;
  const auto a = SignedPolicy::parse(envelope_of(v2.bytes())).value();
  const auto b = SignedPolicy::parse(envelope_of(v1.bytes())).value();
  EXPECT_EQ(a.policy, b.policy);
  EXPECT_EQ(a.policy.canonical_bytes(), v1.bytes());
  EXPECT_EQ(a.policy.context_label().value(), "acme/namespace-policy/v1");
  Record kt;
  EXPECT_EQ(SignedPolicy::parse(envelope_of(kt.bytes())).value().policy.canonical_bytes(), kt.bytes());
  EXPECT_EQ(SignedPolicy::parse(envelope_of(kt.bytes())).value().policy.context_label().value(), "acme/namespace-policy/v2");
}

// A truncation exactly at each field: the read of that field overruns its slice, reporting the
// bytes it wanted, the slice length and the offset already consumed in that slice.
TEST(PolicyParse, TruncationAtEveryField) {
  const Record full;
  const Bytes rec = full.bytes();
  struct Field {
    std::string name;
    std::size_t at;      // offset of the field in the record
    std::size_t wanted;  // what the read asks for when the slice ends exactly there
  };
  const std::size_t ns_end = 8 + full.ns.size();
  const std::vector<Field> record_fields = {
      {"record_version", 0, 4},
      {"namespace length", 4, 4},
      {"namespace bytes", 8, full.ns.size()},
      {"policy_schema_version", ns_end, 4},
      {"security_level", ns_end + 4, 1},
      {"checkpoint_suite", ns_end + 5, 1},
      {"commitment_hash", ns_end + 6, 1},
      {"vrf_mode", ns_end + 7, 1},
      {"effective_from", ns_end + 8, 8},
      {"created_at", ns_end + 16, 8},
      {"prev_policy_hash length", ns_end + 24, 4},
      {"prev_policy_hash bytes", ns_end + 28, 64},
      {"directory_mode", ns_end + 92, 1},
      {"keytrans_suite", ns_end + 93, 2},
  };
  ASSERT_EQ(ns_end + 95, rec.size());
  for (const auto& f : record_fields) {
    const Bytes cut(rec.begin(), rec.begin() + static_cast<std::ptrdiff_t>(f.at));
    const std::string want = kPrefix + "field of " + std::to_string(f.wanted) + " bytes overruns the " +
                             std::to_string(cut.size()) + "-byte buffer at offset " + std::to_string(f.at);
    EXPECT_EQ(message(SignedPolicy::parse(envelope_of(cut))), want) << f.name;
  }
  // A length field that promises more than its slice holds: the body's read fails after the count.
  Record long_prev = full;
  Bytes r2 = long_prev.bytes();
  r2.resize(ns_end + 28 + 10);
  EXPECT_EQ(message(SignedPolicy::parse(envelope_of(r2))),
            kPrefix + "field of 64 bytes overruns the " + std::to_string(r2.size()) + "-byte buffer at offset " +
                std::to_string(ns_end + 28));

  const Bytes env = envelope_of(rec, Bytes(5, 0x02), Bytes(7, 0x02));
  const std::size_t key_at = 8 + rec.size(), sig_at = key_at + 4 + 5;
  const std::vector<Field> envelope_fields = {
      {"format_version", 0, 4},      {"record length", 4, 4}, {"record bytes", 8, rec.size()},
      {"public_key length", key_at, 4}, {"public_key bytes", key_at + 4, 5},
      {"signature length", sig_at, 4},  {"signature bytes", sig_at + 4, 7},
  };
  ASSERT_EQ(sig_at + 4 + 7, env.size());
  for (const auto& f : envelope_fields) {
    const Bytes cut(env.begin(), env.begin() + static_cast<std::ptrdiff_t>(f.at));
    const std::string want = kPrefix + "field of " + std::to_string(f.wanted) + " bytes overruns the " +
                             std::to_string(cut.size()) + "-byte buffer at offset " + std::to_string(f.at);
    EXPECT_EQ(message(SignedPolicy::parse(cut)), want) << f.name;
  }
  EXPECT_TRUE(SignedPolicy::parse(env));
}

// --- enforcement

std::string token(uint8_t tag, std::size_t length) {
  Bytes b(length, 0x5a);
  if (length > 0) b[0] = tag;
  return encoding::base64_encode(b);
}

struct EnforceRow {
  std::string name;
  std::string policy;  // fixture name prefix
  std::function<Result<void>(const Bytes&)> call;
  std::string want;
};

TEST(PolicyEnforce, Messages) {
  const std::string mismatch = "posture mismatch: declared ";
  const EnforceRow rows[] = {
      {"0x02 signature of 3374 bytes matches Hybrid/Cat3", "acme genesis",
       [](const Bytes& e) { return enforce_checkpoint_signature(e, token(0x02, 3374)); }, "ok"},
      {"0x02 signature one byte short", "acme genesis",
       [](const Bytes& e) { return enforce_checkpoint_signature(e, token(0x02, 3373)); },
       mismatch + "Hybrid/Cat3, observed undecodable checkpoint signature (invalid length: expected 3374 bytes, got 3373)"},
      {"0x14 signature against Hybrid/Cat3", "acme genesis",
       [](const Bytes& e) { return enforce_checkpoint_signature(e, token(0x14, 4760)); },
       mismatch + "Hybrid/Cat3, observed HybridMatched/Cat5"},
      {"0x13 signature matches HybridMatched/Cat3", "acme second",
       [](const Bytes& e) { return enforce_checkpoint_signature(e, token(0x13, 3424)); }, "ok"},
      {"0x01 signature never matches", "acme genesis",
       [](const Bytes& e) { return enforce_checkpoint_signature(e, token(0x01, 2485)); },
       mismatch + "Hybrid/Cat3, observed Hybrid/Cat2"},
      {"signature not base64", "acme genesis", [](const Bytes& e) { return enforce_checkpoint_signature(e, "QR=="); },
       mismatch + "Hybrid/Cat3, observed undecodable checkpoint signature (base64 decode: Invalid last symbol 82, offset 1.)"},
      {"signature with tag 0x04", "acme genesis",
       [](const Bytes& e) { return enforce_checkpoint_signature(e, token(0x04, 3374)); },
       mismatch + "Hybrid/Cat3, observed undecodable checkpoint signature (signature: unknown or missing signature version tag)"},
      {"a key token as the signature", "acme genesis",
       [](const Bytes& e) { return enforce_checkpoint_signature(e, token(0x02, 1985)); },
       mismatch + "Hybrid/Cat3, observed undecodable checkpoint signature (invalid length: expected 3374 bytes, got 1985)"},
      {"0x10 key of 2593 bytes matches PureCnsa2/Cat5", "vault second",
       [](const Bytes& e) { return enforce_checkpoint_signing_key(e, token(0x10, 2593)); }, "ok"},
      {"0x03 key against PureCnsa2/Cat5", "vault second",
       [](const Bytes& e) { return enforce_checkpoint_signing_key(e, token(0x03, 2625)); },
       mismatch + "PureCnsa2/Cat5, observed Hybrid/Cat5"},
      {"empty key token", "acme genesis", [](const Bytes& e) { return enforce_checkpoint_signing_key(e, ""); },
       mismatch + "Hybrid/Cat3, observed undecodable checkpoint key (signature: unknown or missing signature version tag)"},
      {"0x13 key of 2011 bytes", "acme second",
       [](const Bytes& e) { return enforce_checkpoint_signing_key(e, token(0x13, 2011)); },
       mismatch + "HybridMatched/Cat3, observed undecodable checkpoint key (invalid length: expected 2010 bytes, got 2011)"},
      {"0x14 key matches HybridMatched/Cat5", "vault genesis",
       [](const Bytes& e) { return enforce_checkpoint_signing_key(e, token(0x14, 2726)); }, "ok"},
      {"commitment Sha3_512 against Cat3", "acme genesis",
       [](const Bytes& e) { return enforce_commitment_hash(e, CommitmentHash::Sha3_512); },
       mismatch + "commitment_hash Sha3_256, observed commitment_hash Sha3_512"},
      {"commitment Sha3_256 against Cat3", "acme genesis",
       [](const Bytes& e) { return enforce_commitment_hash(e, CommitmentHash::Sha3_256); }, "ok"},
      {"commitment Sha3_256 against Cat5", "kt genesis",
       [](const Bytes& e) { return enforce_commitment_hash(e, CommitmentHash::Sha3_256); },
       mismatch + "commitment_hash Sha3_512, observed commitment_hash Sha3_256"},
      {"Coniks backend 0xf004", "acme genesis", [](const Bytes& e) { return enforce_directory_backend(e, 0xF004); },
       mismatch + "directory_mode Coniks (backend 0x0001), observed directory backend 0xf004"},
      {"Coniks backend 1", "acme genesis", [](const Bytes& e) { return enforce_directory_backend(e, 1); }, "ok"},
      {"v2 Coniks record backend 1", "acme third", [](const Bytes& e) { return enforce_directory_backend(e, 1); }, "ok"},
      {"Keytrans backend 0xf004", "kt second", [](const Bytes& e) { return enforce_directory_backend(e, 0xF004); }, "ok"},
      {"Keytrans backend 1", "kt third", [](const Bytes& e) { return enforce_directory_backend(e, 1); },
       mismatch + "directory_mode Keytrans (backend 0xf004), observed directory backend 0x0001"},
      {"vrf suite 3", "acme genesis", [](const Bytes& e) { return enforce_vrf_suite_id(e, 3); }, "ok"},
      {"vrf suite 4", "acme genesis", [](const Bytes& e) { return enforce_vrf_suite_id(e, 4); },
       mismatch + "vrf_mode Classical (suite_id 0x03), observed vrf suite_id 0x04"},
      {"vrf suite 0xff", "kt genesis", [](const Bytes& e) { return enforce_vrf_suite_id(e, 0xFF); },
       mismatch + "vrf_mode Classical (suite_id 0x03), observed vrf suite_id 0xff"},
  };
  for (const auto& row : rows) EXPECT_EQ(message(row.call(fixture(row.policy).envelope)), row.want) << row.name;
}

// The envelope is checked first: its error wins over any observed value, malformed or not.
TEST(PolicyEnforce, EnvelopeErrorWinsOverTheObservedValue) {
  const Bytes bad_signature = fixture("signature by another key").envelope;
  const std::string invalid = "invalid signature for known key \"acme/namespace-policy\" (key id 00000000)";
  Bytes truncated = fixture("acme genesis").envelope;
  truncated.resize(3);
  const std::string overrun = kPrefix + "field of 4 bytes overruns the 3-byte buffer at offset 0";
  for (const auto& [envelope, want] : {std::pair{bad_signature, invalid}, std::pair{truncated, overrun}}) {
    EXPECT_EQ(message(enforce_checkpoint_signature(envelope, "not base64!")), want);
    EXPECT_EQ(message(enforce_checkpoint_signing_key(envelope, "")), want);
    EXPECT_EQ(message(enforce_commitment_hash(envelope, CommitmentHash::Sha3_512)), want);
    EXPECT_EQ(message(enforce_directory_backend(envelope, 0xFFFF)), want);
    EXPECT_EQ(message(enforce_vrf_suite_id(envelope, 0)), want);
    EXPECT_EQ(message(signed_policy_verify(envelope)), want);
  }
}

// --- the exported functions

std::string outcome(RustCallStatus& status) {
  if (status.code == 0) return "ok";
  return (status.code == 1 ? "" : "code " + std::to_string(status.code) + ": ") + qv_abi::status_message(status);
}

TEST(PolicyExports, PostureRecordEncoding) {
  const Fixture& f = fixture("kt second");
  RustCallStatus status{};
  const Bytes got = qv_abi::take(uniffi_quorvantile_log_fn_func_signed_policy_verify(qv_abi::bytes_arg(f.envelope), &status));
  ASSERT_EQ(status.code, 0);
  const auto posture = signed_policy_verify(f.envelope).value();
  Bytes want;
  put_lp(want, Bytes(posture.namespace_.begin(), posture.namespace_.end()));
  put(want, 3, 4);
  // Variant numbers: Cat3 1, Hybrid 1, Sha3_256 1, Classical 1, Keytrans 2, Kt128Sha256P256 3.
  for (uint32_t v : {1u, 1u, 1u, 1u, 2u, 3u}) put(want, v, 4);
  put(want, 0xFFFFFFFFFFFFFFFFull, 8);
  put(want, 0xFFFFFFFFFFFFFFFEull, 8);
  put_lp(want, posture.policy_hash);
  put_lp(want, posture.rfc6962_leaf_hash);
  EXPECT_EQ(got, want);
  EXPECT_EQ(posture.policy_hash.size(), 64u);
  EXPECT_EQ(posture.rfc6962_leaf_hash.size(), 32u);
}

TEST(PolicyExports, ArgumentDecodingAndStatus) {
  const Bytes& e = fixture("acme genesis").envelope;
  auto enum_arg = [](Bytes b) { return qv_abi::buffer(b); };
  struct Row {
    std::string name;
    std::function<void(RustCallStatus*)> call;
    std::string want;
  };
  const Row rows[] = {
      {"observed 3", [&](RustCallStatus* s) { uniffi_quorvantile_log_fn_func_policy_enforce_commitment_hash(qv_abi::bytes_arg(e), enum_arg({0, 0, 0, 3}), s); },
       "code 2: Failed to convert arg 'observed':\nInvalid CommitmentHash enum value: 3"},
      {"observed with junk", [&](RustCallStatus* s) { uniffi_quorvantile_log_fn_func_policy_enforce_commitment_hash(qv_abi::bytes_arg(e), enum_arg({0, 0, 0, 1, 0}), s); },
       "code 2: Failed to convert arg 'observed':\njunk data left in buffer after lifting (count: 1)"},
      {"observed Sha3_512", [&](RustCallStatus* s) { uniffi_quorvantile_log_fn_func_policy_enforce_commitment_hash(qv_abi::bytes_arg(e), enum_arg({0, 0, 0, 2}), s); },
       "posture mismatch: declared commitment_hash Sha3_256, observed commitment_hash Sha3_512"},
      {"envelope short", [&](RustCallStatus* s) { uniffi_quorvantile_log_fn_func_signed_policy_verify(qv_abi::buffer({0, 0, 0, 2, 0xAA}), s); },
       "code 2: Failed to convert arg 'envelope':\nnot enough bytes remaining in buffer (0 < 1)"},
      {"backend", [&](RustCallStatus* s) { uniffi_quorvantile_log_fn_func_policy_enforce_directory_backend(qv_abi::bytes_arg(e), 1, s); }, "ok"},
      {"vrf", [&](RustCallStatus* s) { uniffi_quorvantile_log_fn_func_policy_enforce_vrf_suite_id(qv_abi::bytes_arg(e), 4, s); },
       "posture mismatch: declared vrf_mode Classical (suite_id 0x03), observed vrf suite_id 0x04"},
      {"signature", [&](RustCallStatus* s) { uniffi_quorvantile_log_fn_func_policy_enforce_checkpoint_signature(qv_abi::bytes_arg(e), qv_abi::string_arg(token(0x02, 3374)), s); }, "ok"},
      {"key", [&](RustCallStatus* s) { uniffi_quorvantile_log_fn_func_policy_enforce_checkpoint_signing_key(qv_abi::bytes_arg(e), qv_abi::string_arg(token(0x10, 2593)), s); },
       "posture mismatch: declared Hybrid/Cat3, observed PureCnsa2/Cat5"},
  };
  for (const auto& row : rows) {
    RustCallStatus status{};
    row.call(&status);
    EXPECT_EQ(outcome(status), row.want) << row.name;
  }
}

}  // namespace
}  // namespace quorvantile_log::policy
