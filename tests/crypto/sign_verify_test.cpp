// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Framed verification against the fixture generator's independent signers: every tag, its
// component and framing corruptions, tag interplay and undecodable tokens.
#include <gtest/gtest.h>

#include <string>

#include "quorvantile_crypto/sign.hpp"
#include "test_support.hpp"

namespace {

using namespace quorvantile_crypto;

struct Outcomes {
  int verified = 0;
  int rejected = 0;
  int errors = 0;
};

Outcomes run_fixture(const std::string& file) {
  const auto doc = qv_test::read_json(qv_test::data_dir() / "signatures" / file);
  Outcomes seen;
  for (const auto& c : doc.at("cases")) {
    const std::string name = c.at("name");
    const auto message = qv_test::from_hex(c.at("message").get<std::string>());
    const auto context = qv_test::from_hex(c.at("context").get<std::string>());
    const auto result = verify(message, context, c.at("signature").get<std::string>(), c.at("public_key").get<std::string>());
    // The bytes-level form agrees with the token form wherever both tokens decode.
    const auto sig = decode_token(c.at("signature").get<std::string>());
    const auto key = decode_token(c.at("public_key").get<std::string>());
    if (sig && key) {
      const auto decoded = verify_decoded(message, context, *sig, *key);
      EXPECT_EQ(decoded.has_value(), result.has_value()) << file << ": " << name;
      if (decoded && result) {
        EXPECT_EQ(*decoded, *result) << file << ": " << name;
      } else if (!decoded && !result) {
        EXPECT_EQ(decoded.error().to_string(), result.error().to_string()) << file << ": " << name;
      }
    }
    const auto& expect = c.at("expect");
    if (expect.is_boolean()) {
      if (!result) {
        ADD_FAILURE() << file << ": " << name << ": " << result.error().to_string();
        continue;
      }
      EXPECT_EQ(*result, expect.get<bool>()) << file << ": " << name;
      ++(expect.get<bool>() ? seen.verified : seen.rejected);
    } else {
      if (result) {
        ADD_FAILURE() << file << ": " << name << ": returned " << *result;
        continue;
      }
      EXPECT_EQ(result.error().to_string(), c.at("error").get<std::string>()) << file << ": " << name;
      ++seen.errors;
    }
  }
  return seen;
}

class VerifyFixture : public ::testing::TestWithParam<const char*> {};

TEST_P(VerifyFixture, MatchesTheIndependentSigner) {
  const Outcomes seen = run_fixture(GetParam());
  EXPECT_GE(seen.verified, 4);
  EXPECT_GE(seen.rejected, 15);
}

INSTANTIATE_TEST_SUITE_P(Tags, VerifyFixture,
                         ::testing::Values("tag_01.json", "tag_02.json", "tag_03.json", "tag_10.json", "tag_13.json",
                                           "tag_14.json"),
                         [](const auto& param_info) { return std::string(param_info.param).substr(0, 6); });

TEST(Verify, TagInterplayAndUndecodableTokens) {
  const Outcomes seen = run_fixture("cross_tag.json");
  EXPECT_GE(seen.rejected, 10);
  EXPECT_GE(seen.errors, 10);
}

// A suite-tagged signature against an empty key: false, and no byte of the key is read.
TEST(Verify, SuiteTagAgainstEmptyKeyIsFalse) {
  for (const char* token : {"EA==", "Ew==", "FA=="}) {  // the single bytes 0x10, 0x13, 0x14
    EXPECT_EQ(verify({}, {}, token, ""), false) << token;
  }
  EXPECT_EQ(verify({}, {}, "", "EA=="), false);
  EXPECT_EQ(verify({}, {}, "AQ==", "").error().to_string(), "signature: unknown or missing signature version tag");
}

}  // namespace
