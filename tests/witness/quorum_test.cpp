// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Quorum evaluation and the log side of checkpoint verification: the published quorum sets with
// real signatures, the log cases, and nested-group tables evaluated directly.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "witness/operations.hpp"
#include "witness/policy.hpp"
#include "witness_test_support.hpp"

namespace {

namespace w = quorvantile_log::witness;

TEST(WitnessQuorum, PublishedQuorumSets) {
  const auto file = qv_witness_test::vectors("derived/policy-quorum.json");
  std::size_t cases = 0;
  for (const auto& set : file["quorum_sets"]) {
    const std::string policy_text = set["policy"];
    const auto policy = w::Policy::parse(policy_text);
    ASSERT_TRUE(policy.has_value()) << set["id"];
    for (const auto& c : set["cases"]) {
      SCOPED_TRACE(set["id"].get<std::string>() + " " + c["cosigned_by"].dump());
      std::set<std::string> signed_by(c["cosigned_by"].begin(), c["cosigned_by"].end());
      std::set<std::string> invalid;
      if (c.contains("invalid_cosignature_from")) invalid = {c["invalid_cosignature_from"].begin(), c["invalid_cosignature_from"].end()};
      // A failing line from a configured witness leaves it uncounted and listed as rejected.
      std::vector<std::string> counted;
      std::vector<w::RejectedWitness> rejected;
      for (const auto& witness : policy->witnesses) {
        if (invalid.contains(witness.key.name)) {
          rejected.push_back({witness.name, "invalid signature"});
        } else if (signed_by.contains(witness.key.name)) {
          counted.push_back(witness.name);
        }
      }
      // Rows with an invalid line carry the outcome under each treatment of it; the one that
      // applies here is the one where the invalid line counts as absent.
      bool satisfied = c.value("satisfied", false);
      for (const auto& [field, value] : c.items()) {
        if (field.starts_with("satisfied_if_invalid_lines_count_as_absent")) satisfied = value.get<bool>();
      }
      const auto result = w::checkpoint_verify_cosigned(c["note"].get<std::string>(), policy_text);
      if (satisfied) {
        ASSERT_TRUE(result.has_value()) << result.error().render();
        EXPECT_EQ(result->counted_witnesses, counted);
        EXPECT_EQ(result->rejected_witnesses, rejected);
        EXPECT_EQ(result->log_key_name, policy->logs.at(0).key.name);
      } else {
        ASSERT_FALSE(result.has_value());
        EXPECT_EQ(result.error().render(), "witness quorum " + quorvantile_log::quote(policy->quorum_name()) +
                                               " not met: " + std::to_string(counted.size()) +
                                               (counted.size() == 1 ? " witness" : " witnesses") + " counted");
      }
      ++cases;
    }
  }
  EXPECT_EQ(cases, 236u);
}

// The log side: the published log cases, and a type 0x06 log, which signs origin, size and root
// only, so extension lines are refused, and whose lines must all verify.
TEST(WitnessQuorum, LogSignatures) {
  const auto file = qv_witness_test::vectors("derived/policy-quorum.json");
  const std::string sigsum = "\"sigsum.org/v1/tree/e796172b92befd62d9dc67e41c2f5bc9d3100a3023b20b1ca40288dd1c679e69\"";
  const std::string mldsa = "\"example.com/mldsa-log\" (key id b5df45c5)";
  std::map<std::string, std::pair<std::string, std::string>> rows;  // id -> (note, policy)
  for (const auto& c : file["log_cases"]) rows[c["id"]] = {c["note"], c["policy"]};
  const auto [note, policy] = rows["L6"];
  const std::size_t blank = note.find("\n\n");
  std::string tampered = note;
  tampered[tampered.size() - 10] = tampered[tampered.size() - 10] == 'A' ? 'B' : 'A';
  rows["M-ext"] = {note.substr(0, blank + 1) + "ext\n" + note.substr(blank + 1), policy};
  rows["M-bad"] = {tampered, policy};
  rows["M-twice"] = {note + tampered.substr(blank + 2), policy};
  const std::map<std::string, std::string> kRejected = {
      {"L2", "checkpoint has no signature from log key " + sigsum + " (key id 809da1a3)"},
      {"L3", "invalid log signature for key " + sigsum + " (key id 809da1a3)"},
      {"L4", "no log in the policy has key name \"example.com/not-the-log-name\""},
      // Decided: the log key comes from the policy, so a policy without logs verifies nothing.
      {"L7", "no log in the policy has key name " + sigsum},
      {"L8", "checkpoint has no signature from log key " + sigsum + " (key id 809da1a3)"},
      {"M-ext", "log signature for key " + mldsa + " does not cover the extension lines"},
      {"M-bad", "invalid log signature for key " + mldsa},
      {"M-twice", "invalid log signature for key " + mldsa},
  };
  for (const auto& [id, row] : rows) {
    SCOPED_TRACE(id);
    const auto result = w::checkpoint_verify_cosigned(row.first, row.second);
    if (!kRejected.contains(id)) {
      EXPECT_TRUE(result.has_value()) << result.error().render();
    } else if (id == "L4") {  // the origin in that vector is not spelled out here
      EXPECT_EQ(result.error().kind(), w::WitnessError::Kind::UnknownLog);
    } else {
      EXPECT_EQ(result.error().render(), kRejected.at(id));
    }
  }
}

// Groups are evaluated over witness flags alone: the tables need no signatures.
TEST(WitnessQuorum, NestedGroupTables) {
  const std::string k[] = {
      "Wit1+9b3fb2d5+BFhZSmQj9+SoL+p/nN0Hh76xXmF7QcHfytUrI1XfSClk",
      "Wit2+38153445+BGVbwFJte9wMQIPSnEnj4KibeO6vSIOEDUTDp3o63c2x",
      "Wit3+233cf275+BCb6Uz1+fxAcXkMvDd7nGa3FjDce7LxIKmbbTCT0MpVn",
      "Known+fdd35892+BHAQ0T7lbwuY4ABJ9/MYY9bWV3hmSyOGVt2x42NkmdUH",
  };
  const std::string witnesses = "witness a " + k[0] + "\nwitness b " + k[1] + "\nwitness c " + k[2] + "\nwitness d " + k[3] + "\n";
  // Each row's rule written as a formula over the four witnesses.
  struct Row {
    std::string groups;
    std::function<bool(int a, int b, int c, int d)> holds;
  };
  const Row rows[] = {
      {"quorum none\n", [](int, int, int, int) { return true; }},
      {"quorum c\n", [](int, int, int c, int) { return c == 1; }},
      {"group g any a b c d\nquorum g\n", [](int a, int b, int c, int d) { return a + b + c + d >= 1; }},
      {"group g all a b c d\nquorum g\n", [](int a, int b, int c, int d) { return a + b + c + d == 4; }},
      {"group g 3 a b c d\nquorum g\n", [](int a, int b, int c, int d) { return a + b + c + d >= 3; }},
      {"group x all a b\ngroup y all c d\ngroup q any x y\nquorum q\n",
       [](int a, int b, int c, int d) { return (a && b) || (c && d); }},
      {"group cd any c d\ngroup q 2 a b cd\nquorum q\n",
       [](int a, int b, int c, int d) { return a + b + (c || d) >= 2; }},
      {"group cd all c d\ngroup bcd any b cd\ngroup q all a bcd\nquorum q\n",
       [](int a, int b, int c, int d) { return a && (b || (c && d)); }},
      {"group ab 2 a b\ngroup cd 1 c d\ngroup q 1 ab cd\nquorum ab\n",
       [](int a, int b, int, int) { return a && b; }},
      // A group defined after the quorum line is allowed and simply unused.
      {"group q any a\nquorum q\ngroup later all b c\n", [](int a, int, int, int) { return a == 1; }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.groups);
    const auto policy = w::Policy::parse(witnesses + row.groups);
    ASSERT_TRUE(policy.has_value()) << policy.error().render();
    for (unsigned bits = 0; bits < 16; ++bits) {
      const int a = bits >> 3 & 1, b = bits >> 2 & 1, c = bits >> 1 & 1, d = bits & 1;
      const std::vector<bool> counted = {a == 1, b == 1, c == 1, d == 1};
      EXPECT_EQ(policy->quorum_satisfied(counted), row.holds(a, b, c, d)) << a << b << c << d;
    }
  }
}

}  // namespace

