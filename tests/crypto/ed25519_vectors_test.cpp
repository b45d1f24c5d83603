// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Published Ed25519 edge-case vectors run through both verification forms.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "ed25519_backends.hpp"
#include "quorvantile_crypto/ed25519.hpp"
#include "test_support.hpp"

namespace {

using qv_test::from_hex;
using quorvantile_crypto::as_bytes;
namespace ed = quorvantile_crypto::ed25519;

// Wycheproof has no small-order keys or R values among its valid tests, so both forms must give
// exactly the published result.
using Ed25519Vectors = qv_test::Ed25519Backends;

TEST_P(Ed25519Vectors, WycheproofBothForms) {
  const auto doc = qv_test::read_json(qv_test::vectors_dir() / "wycheproof" / "ed25519_test.json");
  int count = 0;
  for (const auto& group : doc.at("testGroups")) {
    const auto key = from_hex(group.at("publicKey").at("pk").get<std::string>());
    for (const auto& test : group.at("tests")) {
      SCOPED_TRACE("tcId " + std::to_string(test.at("tcId").get<int>()));
      const auto msg = from_hex(test.at("msg").get<std::string>());
      const auto sig = from_hex(test.at("sig").get<std::string>());
      const bool valid = test.at("result") == "valid";
      EXPECT_EQ(ed::verify_cofactorless(key, msg, sig, backend()), valid);
      EXPECT_EQ(ed::verify_strict(key, msg, sig, backend()), valid);
      ++count;
    }
  }
  EXPECT_EQ(count, 151);
}

// Every CCTV vector must get the recorded answer from each form.
TEST_P(Ed25519Vectors, CctvEdgeCasesBothForms) {
  const auto dir = qv_test::vectors_dir() / "cctv-ed25519";
  const auto vectors = qv_test::read_json(dir / "ed25519vectors.json");
  std::map<int, std::pair<bool, bool>> expected;
  for (const auto& e : qv_test::read_json(dir / "expected.json"))
    expected[e.at("number").get<int>()] = {e.at("cofactorless").get<bool>(), e.at("strict").get<bool>()};
  ASSERT_EQ(vectors.size(), 914u);
  ASSERT_EQ(expected.size(), 914u);

  int cofactorless_accepted = 0, strict_accepted = 0, forms_differ = 0;
  for (const auto& v : vectors) {
    const int number = v.at("number").get<int>();
    SCOPED_TRACE("number " + std::to_string(number));
    const auto key = from_hex(v.at("key").get<std::string>());
    const auto sig = from_hex(v.at("sig").get<std::string>());
    const std::string msg = v.at("msg").get<std::string>();
    const bool cofactorless = ed::verify_cofactorless(key, as_bytes(msg), sig, backend());
    const bool strict = ed::verify_strict(key, as_bytes(msg), sig, backend());
    ASSERT_TRUE(expected.contains(number));
    EXPECT_EQ(cofactorless, expected[number].first);
    EXPECT_EQ(strict, expected[number].second);
    cofactorless_accepted += cofactorless;
    strict_accepted += strict;
    forms_differ += cofactorless != strict;
    // Strict acceptance implies cofactorless acceptance.
    EXPECT_TRUE(!strict || cofactorless);
  }
  EXPECT_EQ(cofactorless_accepted, 208);
  EXPECT_EQ(strict_accepted, 43);
  EXPECT_EQ(forms_differ, 165);
}

QV_ED25519_ALL_BACKENDS(Ed25519Vectors);

}  // namespace
