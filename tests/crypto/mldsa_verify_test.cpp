// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// End-to-end faults on known-good signatures: wrong sizes, wrong set, context handling, and
// single-bit changes in every part of the signature and key. Every check runs on each
// matrix-expansion path and must give the same answer on all of them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mldsa_paths.hpp"
#include "quorvantile_crypto/mldsa.hpp"
#include "test_support.hpp"

namespace {

using quorvantile_crypto::mldsa::ParameterSet;
using quorvantile_crypto::mldsa::verify;
using quorvantile_crypto::mldsa::verify_internal;
using Bytes = std::vector<uint8_t>;

struct SetInfo {
  const char* name;
  ParameterSet params;
  int number;
  std::size_t ctilde_bytes, hint_bytes;
};

struct Known {
  Bytes public_key, message, signature;
};

// Wycheproof's first case for the set: a valid signature over "Hello world", empty context.
Known load_known(const SetInfo& set) {
  const auto doc = qv_test::read_json(qv_test::vectors_dir() / "wycheproof" /
                                      ("mldsa_" + std::to_string(set.number) + "_verify_test.json"));
  const auto& group = doc.at("testGroups").at(0);
  const auto& test = group.at("tests").at(0);
  return {qv_test::from_hex(group.at("publicKey").get<std::string>()), qv_test::from_hex(test.at("msg").get<std::string>()),
          qv_test::from_hex(test.at("sig").get<std::string>())};
}

class MlDsaVerify : public testing::TestWithParam<SetInfo> {
 protected:
  void SetUp() override {
    known_ = load_known(GetParam());
    ASSERT_TRUE(verify(GetParam().params, known_.public_key, known_.message, known_.signature));
  }
  bool check(const Bytes& public_key, const Bytes& message, const Bytes& signature, const Bytes& context = {}) const {
    const bool result = verify(GetParam().params, public_key, message, signature, context);
    for (const auto path : qv_test::mldsa_paths()) {
      EXPECT_EQ(quorvantile_crypto::mldsa::detail::verify_on(path, GetParam().params, public_key, message, signature, context),
                result)
          << qv_test::path_name(path);
    }
    return result;
  }
  Known known_;
};

TEST_P(MlDsaVerify, WrongSizesAreRejected) {
  const Known& k = known_;
  Bytes longer_key = k.public_key, shorter_key = k.public_key, longer_sig = k.signature, shorter_sig = k.signature;
  longer_key.push_back(0);
  shorter_key.pop_back();
  longer_sig.push_back(0);
  shorter_sig.pop_back();
  EXPECT_FALSE(check(longer_key, k.message, k.signature));
  EXPECT_FALSE(check(shorter_key, k.message, k.signature));
  EXPECT_FALSE(check(k.public_key, k.message, longer_sig));
  EXPECT_FALSE(check(k.public_key, k.message, shorter_sig));
  EXPECT_FALSE(check({}, k.message, k.signature));
  EXPECT_FALSE(check(k.public_key, k.message, {}));
}

TEST_P(MlDsaVerify, OtherParameterSetsRejectTheKey) {
  for (ParameterSet other : {ParameterSet::MlDsa44, ParameterSet::MlDsa65, ParameterSet::MlDsa87}) {
    if (other != GetParam().params) {
      EXPECT_FALSE(verify(other, known_.public_key, known_.message, known_.signature));
    }
  }
  EXPECT_FALSE(verify(static_cast<ParameterSet>(3), known_.public_key, known_.message, known_.signature));
}

TEST_P(MlDsaVerify, ContextIsPartOfTheMessageRepresentative) {
  const Known& k = known_;
  EXPECT_FALSE(check(k.public_key, k.message, k.signature, Bytes{0x00}));
  EXPECT_FALSE(check(k.public_key, k.message, k.signature, Bytes(256, 0)));
  // M' = 0x00 || len(ctx) || ctx || M, given to the internal interface directly.
  Bytes representative{0x00, 0x00};
  representative.insert(representative.end(), k.message.begin(), k.message.end());
  EXPECT_TRUE(verify_internal(GetParam().params, k.public_key, representative, k.signature));
  EXPECT_FALSE(verify_internal(GetParam().params, k.public_key, k.message, k.signature));
}

TEST_P(MlDsaVerify, EveryBitOfTheHintsMatters) {
  const std::size_t start = known_.signature.size() - GetParam().hint_bytes;
  for (std::size_t byte = start; byte < known_.signature.size(); ++byte) {
    for (int bit = 0; bit < 8; ++bit) {
      Bytes signature = known_.signature;
      signature[byte] ^= static_cast<uint8_t>(1 << bit);
      ASSERT_FALSE(check(known_.public_key, known_.message, signature)) << "byte " << byte << " bit " << bit;
    }
  }
}

TEST_P(MlDsaVerify, SingleBitChangesElsewhereAreRejected) {
  const std::size_t sig_size = known_.signature.size();
  const std::size_t hint_start = sig_size - GetParam().hint_bytes;
  // First and last byte of c~, first and last byte of z.
  for (std::size_t byte : {std::size_t{0}, GetParam().ctilde_bytes - 1, GetParam().ctilde_bytes, hint_start - 1}) {
    Bytes signature = known_.signature;
    signature[byte] ^= 0x01;
    EXPECT_FALSE(check(known_.public_key, known_.message, signature)) << "signature byte " << byte;
  }
  // rho, the first and the last byte of t1.
  for (std::size_t byte : {std::size_t{0}, std::size_t{32}, known_.public_key.size() - 1}) {
    Bytes public_key = known_.public_key;
    public_key[byte] ^= 0x80;
    EXPECT_FALSE(check(public_key, known_.message, known_.signature)) << "key byte " << byte;
  }
  Bytes message = known_.message;
  message.back() ^= 0x01;
  EXPECT_FALSE(check(known_.public_key, message, known_.signature));
  message.pop_back();
  EXPECT_FALSE(check(known_.public_key, message, known_.signature));
}

INSTANTIATE_TEST_SUITE_P(AllSets, MlDsaVerify,
                         testing::Values(SetInfo{"MlDsa44", ParameterSet::MlDsa44, 44, 32, 80 + 4},
                                         SetInfo{"MlDsa65", ParameterSet::MlDsa65, 65, 48, 55 + 6},
                                         SetInfo{"MlDsa87", ParameterSet::MlDsa87, 87, 64, 75 + 8}),
                         [](const auto& test_info) { return std::string(test_info.param.name); });

}  // namespace
