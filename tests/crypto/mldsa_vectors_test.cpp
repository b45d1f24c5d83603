// ML-DSA verification against the published Wycheproof and NIST ACVP vector sets, on every
// matrix-expansion path (each case must give the expected result on all of them).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mldsa_paths.hpp"
#include "quorvantile_crypto/mldsa.hpp"
#include "test_support.hpp"

namespace {

using quorvantile_crypto::mldsa::ParameterSet;
using quorvantile_crypto::mldsa::detail::verify_internal_on;
using quorvantile_crypto::mldsa::detail::verify_on;
using qv_test::from_hex;

struct WycheproofFile {
  const char* name;
  ParameterSet params;
  std::size_t tests;
};

class MlDsaWycheproof : public testing::TestWithParam<WycheproofFile> {};

TEST_P(MlDsaWycheproof, EveryCaseMatchesExpectedResult) {
  const WycheproofFile& file = GetParam();
  const auto doc = qv_test::read_json(qv_test::vectors_dir() / "wycheproof" / file.name);
  ASSERT_EQ(doc.at("numberOfTests").get<std::size_t>(), file.tests);
  std::size_t run = 0;
  std::size_t valid = 0;
  std::size_t with_context = 0;
  std::vector<std::string> mismatches;
  for (const auto& group : doc.at("testGroups")) {
    const auto public_key = from_hex(group.at("publicKey").get<std::string>());
    for (const auto& test : group.at("tests")) {
      const auto message = from_hex(test.at("msg").get<std::string>());
      const auto signature = from_hex(test.at("sig").get<std::string>());
      const auto context = from_hex(test.value("ctx", std::string()));
      const bool expected = test.at("result").get<std::string>() == "valid";
      for (const auto path : qv_test::mldsa_paths()) {
        if (verify_on(path, file.params, public_key, message, signature, context) != expected) {
          mismatches.push_back(std::to_string(test.at("tcId").get<int>()) + " on " + qv_test::path_name(path));
        }
      }
      if (quorvantile_crypto::mldsa::verify(file.params, public_key, message, signature, context) != expected) {
        mismatches.push_back(std::to_string(test.at("tcId").get<int>()) + " on the default path");
      }
      ++run;
      valid += expected ? 1 : 0;
      with_context += context.empty() ? 0 : 1;
    }
  }
  EXPECT_EQ(run, file.tests);
  EXPECT_GT(valid, 0u);
  EXPECT_GT(with_context, 0u);
  EXPECT_TRUE(mismatches.empty()) << "mismatching tcIds: " << testing::PrintToString(mismatches);
  RecordProperty("cases", static_cast<int>(run));
}

INSTANTIATE_TEST_SUITE_P(AllSets, MlDsaWycheproof,
                         testing::Values(WycheproofFile{"mldsa_44_verify_test.json", ParameterSet::MlDsa44, 180},
                                         WycheproofFile{"mldsa_65_verify_test.json", ParameterSet::MlDsa65, 210},
                                         WycheproofFile{"mldsa_87_verify_test.json", ParameterSet::MlDsa87, 241}),
                         [](const auto& test_info) { return std::string(test_info.param.name).substr(6, 2); });

// The vector tests above and below run every path this CPU has; this one names those it has not.
TEST(MlDsaPaths, EveryPathRunsOnThisCpu) {
  const std::string missing = qv_test::missing_mldsa_paths();
  if (!missing.empty()) GTEST_SKIP() << "the vector tests could not run these paths on this CPU: " << missing;
  EXPECT_EQ(qv_test::mldsa_paths().size(), std::size(qv_test::kAllMlDsaPaths));
}

ParameterSet parameter_set_named(const std::string& name) {
  if (name == "ML-DSA-44") return ParameterSet::MlDsa44;
  if (name == "ML-DSA-65") return ParameterSet::MlDsa65;
  if (name == "ML-DSA-87") return ParameterSet::MlDsa87;
  throw std::runtime_error("unknown parameter set " + name);
}

// These vectors give the message representative M' directly (the internal interface).
TEST(MlDsaAcvp, SigVerInternalProjectionMatchesTestPassed) {
  const auto doc = qv_test::read_json(qv_test::vectors_dir() / "acvp-mldsa-sigver" / "internalProjection.json");
  std::size_t run = 0;
  std::size_t passed = 0;
  std::vector<std::string> mismatches;
  for (const auto& group : doc.at("testGroups")) {
    const ParameterSet params = parameter_set_named(group.at("parameterSet").get<std::string>());
    const auto public_key = from_hex(group.at("pk").get<std::string>());
    for (const auto& test : group.at("tests")) {
      const auto message = from_hex(test.at("message").get<std::string>());
      const auto signature = from_hex(test.at("signature").get<std::string>());
      const bool expected = test.at("testPassed").get<bool>();
      for (const auto path : qv_test::mldsa_paths()) {
        if (verify_internal_on(path, params, public_key, message, signature) != expected) {
          mismatches.push_back(std::to_string(test.at("tcId").get<int>()) + " (" + test.at("reason").get<std::string>() +
                               ") on " + qv_test::path_name(path));
        }
      }
      ++run;
      passed += expected ? 1 : 0;
    }
  }
  EXPECT_EQ(run, 45u);
  EXPECT_EQ(passed, 9u);
  EXPECT_TRUE(mismatches.empty()) << "mismatching tcIds: " << testing::PrintToString(mismatches);
}

}  // namespace
