// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The policy language: the published parse vectors with this library's outcome for each, exact
// messages with their line numbers, and the description of parsed policies.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "note/key_id.hpp"
#include "note_test_signer.hpp"
#include "witness/operations.hpp"
#include "witness/policy.hpp"
#include "witness_test_support.hpp"

namespace {

namespace w = quorvantile_log::witness;
using w::witness_policy_parse;
using w::WitnessError;

// The message each rejected vector gets. Rows marked "decided" are cases where peers differ; the
// outcome here is this library's (the vector file records both behaviours).
const std::map<std::string, std::string> kRejected = {
    {"E01", "policy: no quorum line"}, {"E02", "policy: no quorum line"},
    {"E03", "policy line 3: second quorum line (the first is line 2)"},
    {"E04", "policy line 1: quorum \"A\" is not defined on an earlier line"},
    {"E05", "policy line 1: quorum \"A\" is not defined on an earlier line"},
    {"E06", "policy line 2: group member \"B\" is not defined on an earlier line"},
    {"E07", "policy line 1: group member \"A\" is not defined on an earlier line"},
    {"E08", "policy line 2: group member \"g\" is not defined on an earlier line"},
    {"E09", "policy line 2: \"none\" cannot be a group member"},
    {"E10", "policy line 1: name \"none\" is reserved"}, {"E11", "policy line 2: name \"none\" is reserved"},
    {"E12", "policy line 2: name \"A\" is already defined on line 1"},
    {"E13", "policy line 2: name \"A\" is already defined on line 1"},
    {"E14", "policy line 2: duplicate witness key: the same public key as on line 1"},
    {"E15", "policy line 2: duplicate witness key: the same public key as on line 1"},
    {"E16", "policy line 2: duplicate log key: the same public key as on line 1"},
    {"E17", "policy line 2: threshold 0 is not between 1 and the 1 members of group \"g\""},
    {"E18", "policy line 3: threshold 3 is not between 1 and the 2 members of group \"g\""},
    {"E19", "policy line 2: threshold \"-1\" is not all, any or a decimal number without leading zeros"},
    {"E20", "policy line 3: threshold \"1.5\" is not all, any or a decimal number without leading zeros"},
    {"E21", "policy line 1: group \"g\" has no members"}, {"E22", "policy line 1: group \"g\" has no members"},
    {"E23", "policy line 3: group member \"A\" is used more than once"},
    {"E24", "policy line 1: unknown line type \"witnesses\""},
    {"E25", "policy line 1: log line is missing its verifier key"},
    {"E26", "policy line 1: witness line is missing its verifier key"},
    {"E27", "policy line 1: quorum line is missing its name"},
    {"E28", "policy line 1: malformed verifier key"},
    {"E29", "policy line 1: verifier key id mismatch: declared 00000000, computed 9b3fb2d5"},
    {"E30", "policy line 1: malformed verifier key"},
    {"E31", "policy line 1: key of type 0x04 has 31 bytes, want 32"},
    {"E32", "policy line 1: disallowed octet 0x0d"}, {"E33", "policy line 1: disallowed octet 0x0c"},
    {"E34", "policy line 1: disallowed octet 0x7f"}, {"E35", "policy line 1: disallowed octet 0x00"},
    {"E36", "policy line 1: disallowed octet 0x0b"},
    // decided: comments are whole lines only
    {"D01", "policy line 1: a comment must be a whole line, found \"#\""},
    // decided: a name is a group member at most once in the whole file
    {"D02", "policy line 5: group member \"B\" is used more than once"},
    // decided: witness keys must be cosignature keys, no silent conversion of 0x01
    {"D03", "policy line 1: witness keys are cosignature keys (type 0x04 or 0x06), not type 0x01"},
    // decided: a cosignature key is not a log key
    {"D04", "policy line 1: log key type 0x04 is not a log signature type (0x01, 0x06 or 0xff)"},
    // decided: the 0x01 line fails on its type before duplicates are considered
    {"D05", "policy line 1: witness keys are cosignature keys (type 0x04 or 0x06), not type 0x01"},
    // decided: thresholds are canonical decimal
    {"D06", "policy line 3: threshold \"02\" is not all, any or a decimal number without leading zeros"},
    {"D07", "policy line 2: threshold \"+1\" is not all, any or a decimal number without leading zeros"},
    // decided: no surplus fields
    {"D09", "policy line 1: surplus field \"surplus\" on a witness line"},
    {"D10", "policy line 2: surplus field \"B\" on a quorum line"},
    {"D11", "policy line 1: witness keys are cosignature keys (type 0x04 or 0x06), not type 0x02"},
};

// Vectors that parse: "P" rows and D08 (only "none" is reserved, so "all" and "2" are names).
TEST(WitnessPolicyParse, PublishedVectors) {
  const auto cases = qv_witness_test::vectors("derived/policy-parse.json")["cases"];
  ASSERT_EQ(cases.size(), 58u);
  std::size_t accepted = 0;
  for (const auto& c : cases) {
    const std::string id = c["id"];
    SCOPED_TRACE(id);
    const auto result = witness_policy_parse(c["policy"].get<std::string>());
    const auto rejected = kRejected.find(id);
    if (rejected != kRejected.end()) {
      ASSERT_FALSE(result.has_value());
      EXPECT_EQ(result.error().kind(), WitnessError::Kind::MalformedPolicy);
      EXPECT_EQ(result.error().render(), rejected->second);
      continue;
    }
    ASSERT_TRUE(result.has_value()) << result.error().render();
    ++accepted;
    if (!c.contains("expected_structure")) continue;
    const auto& want = c["expected_structure"];
    if (want.contains("logs")) {
      EXPECT_EQ(result->log_key_names.size(), want["logs"].get<std::size_t>());
    }
    if (want.contains("witnesses")) {
      EXPECT_EQ(result->witness_names.size(), want["witnesses"].get<std::size_t>());
    }
    if (want.contains("quorum")) {
      EXPECT_EQ(result->quorum, want["quorum"].get<std::string>());
    }
    if (want.contains("groups") && want["groups"].is_number()) {
      EXPECT_EQ(result->groups.size(), want["groups"].get<std::size_t>());
    } else if (want.contains("groups")) {
      ASSERT_EQ(result->groups.size(), want["groups"].size());
      for (const auto& group : result->groups) {
        const auto& kn = want["groups"][group.name];
        EXPECT_EQ(group.threshold, kn[0].get<uint64_t>()) << group.name;
        EXPECT_EQ(group.members.size(), kn[1].get<std::size_t>()) << group.name;
      }
    }
  }
  EXPECT_EQ(accepted, 12u);  // P01..P11 and D08
}

TEST(WitnessPolicyParse, MessagesAndLineNumbers) {
  const std::string w1 = "Wit1+9b3fb2d5+BFhZSmQj9+SoL+p/nN0Hh76xXmF7QcHfytUrI1XfSClk";
  const std::string w2 = "Wit2+38153445+BGVbwFJte9wMQIPSnEnj4KibeO6vSIOEDUTDp3o63c2x";
  const std::string log = "sigsum.org/v1/tree/e796172b92befd62d9dc67e41c2f5bc9d3100a3023b20b1ca40288dd1c679e69+809da1a3+"
                          "AWbguFjkYqYJ5m/nE3DIFtiEb/ED1UmaIqf+w3/bxCSn";
  // P08's ML-DSA-44 witness key under a 256-byte name, with the key id that name gives it.
  const std::string p08 = qv_witness_test::vectors("derived/policy-parse.json")["cases"][7]["policy"];
  const std::size_t at = p08.find("witness M ") + 10;
  const std::string material = p08.substr(p08.find('+', p08.find('+', at) + 1) + 1, 1752);
  const std::string name(256, 'n');
  char id[9];
  std::snprintf(id, sizeof id, "%08x", quorvantile_log::note::compute_key_id(name, qv_test::from_base64(material)));
  const std::string long_mldsa = name + "+" + id + "+" + material;
  struct Row {
    std::string policy;
    std::string message;
  };
  const Row rows[] = {
      // Comments and blank lines count as lines.
      {"# c\n\n\t\nquorum x\n", "policy line 4: quorum \"x\" is not defined on an earlier line"},
      {"witness a " + w1 + "\n# c\nwitness b " + w1 + "\nquorum a\n",
       "policy line 3: duplicate witness key: the same public key as on line 1"},
      // An error on an earlier line wins over a bad octet further down.
      {"bogus\nquorum none\r\n", "policy line 1: unknown line type \"bogus\""},
      {"quorum none\nbogus\r\n", "policy line 2: disallowed octet 0x0d"},
      {"log " + log + " https://x/ extra\nquorum none\n", "policy line 1: surplus field \"extra\" on a log line"},
      {"log " + log + " #comment\nquorum none\n", "policy line 1: a comment must be a whole line, found \"#comment\""},
      {"witness\nquorum none\n", "policy line 1: witness line is missing its name"},
      {"group\nquorum none\n", "policy line 1: group line is missing its name"},
      {"group g\nquorum none\n", "policy line 1: group line is missing its threshold"},
      {"witness a " + w1 + "\ngroup g 18446744073709551616 a\nquorum g\n",
       "policy line 2: threshold \"18446744073709551616\" is not all, any or a decimal number without leading zeros"},
      // Members already used by one group cannot be used by another, nor twice by one.
      {"witness a " + w1 + "\nwitness b " + w2 + "\ngroup g any a b\ngroup h any g a\nquorum h\n",
       "policy line 4: group member \"a\" is used more than once"},
      // An ML-DSA-44 key name must fit the one-byte length of the signed message.
      {"witness a " + long_mldsa + "\nquorum a\n", "policy line 1: key name of an ML-DSA-44 key is longer than 255 bytes"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.policy);
    const auto result = witness_policy_parse(row.policy);
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(result.error().render(), row.message);
    EXPECT_EQ(result.error().line(), std::stoull(row.message.substr(std::string_view("policy line ").size())));
  }
}

TEST(WitnessPolicyParse, DescriptionUrlsAndOpaqueNames) {
  const auto cases = qv_witness_test::vectors("derived/policy-parse.json")["cases"];
  const auto parsed = [&](int index) { return w::Policy::parse(cases[index]["policy"].get<std::string>()).value(); };
  const w::WitnessPolicy p03 = parsed(2).describe();
  EXPECT_EQ(p03.witness_names, (std::vector<std::string>{"X1", "X2", "X3", "Y1", "Y2", "Y3"}));
  EXPECT_EQ(p03.groups, (std::vector<w::WitnessGroup>{{"X-witnesses", 2, {"X1", "X2", "X3"}},
                                                      {"Y-witnesses", 1, {"Y1", "Y2", "Y3"}},
                                                      {"X-and-Y", 2, {"X-witnesses", "Y-witnesses"}}}));
  const w::Policy p04 = parsed(3);
  EXPECT_EQ(p04.logs.at(0).url, "https://log.example/");
  EXPECT_EQ(p04.witnesses.at(0).url, "https://a.example/witness");
  EXPECT_EQ(p04.witnesses.at(1).url, std::nullopt);
  EXPECT_EQ(parsed(5).witnesses.at(1).name, "\xE2\x84\xAA");  // KELVIN SIGN is not "K"
}

// Names come back to callers as text, and so do the origin and extension lines of notes: a name
// that is not UTF-8 is a policy error, and a note or bundle that is not UTF-8 is refused.
TEST(WitnessPolicyParse, NamesNotesAndBundlesMustBeUtf8) {
  const qv_test::Ed25519NoteSigner log("example.com/log", 1), bad_log("example.com/\xFFlog", 2);
  const std::string wkey = qv_test::Ed25519NoteSigner("w", 3, 0x04).vkey();
  const std::string ok_policy = "log " + log.vkey() + "\nquorum none\n";
  const std::string body = "example.com/log\n1\n" + std::string(43, 'A') + "=\nextension \xC3\n";
  struct Row {
    const char* name;
    std::function<std::string()> run;  // the rendered error
    std::string want;
  };
  const auto policy_error = [](std::string policy) {
    return [policy] { return w::witness_policy_parse(policy).error().render(); };
  };
  const Row rows[] = {
      {"log key name", policy_error("log " + bad_log.vkey() + "\nquorum none\n"),
       "policy line 1: name is not valid UTF-8"},
      {"witness key name", policy_error("witness w " + qv_test::Ed25519NoteSigner("w\xFF", 6, 0x04).vkey() + "\nquorum none\n"),
       "policy line 1: name is not valid UTF-8"},
      {"witness name", policy_error("# names\nwitness w\xE2\x84 " + wkey + "\nquorum none\n"),
       "policy line 2: name is not valid UTF-8"},
      {"group name", policy_error("witness w " + wkey + "\ngroup g\xC0\xAF any w\nquorum none\n"),
       "policy line 2: name is not valid UTF-8"},
      {"note", [&] { return w::checkpoint_verify_cosigned(body + "\n" + log.line(body), ok_policy).error().render(); },
       "malformed signed note: text is not valid UTF-8"},
      {"bundle", [&] {
         const std::string bundle = "c2sp.org/tlog-proof@v1\nindex 0\n\n" + body + "\n" + log.line(body);
         return w::tlog_proof_verify(bundle, ok_policy, std::vector<uint8_t>(32)).error().render();
       },
       "malformed tlog proof: text is not valid UTF-8"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.run(), row.want);
  }
}

}  // namespace
