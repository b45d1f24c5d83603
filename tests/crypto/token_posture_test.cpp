// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <optional>
#include <string>
#include <vector>

#include "quorvantile_crypto/sign.hpp"

namespace {

using namespace quorvantile_crypto;

std::string encode(const std::vector<uint8_t>& bytes) {
  std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
  const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()), bytes.data(), static_cast<int>(bytes.size()));
  out.resize(static_cast<std::size_t>(n));
  return out;
}

std::string tagged_token(uint8_t tag, std::size_t total) {
  std::vector<uint8_t> bytes(total, 0x5a);
  if (total > 0) bytes[0] = tag;
  return encode(bytes);
}

struct TagRow {
  uint8_t tag;
  Suite suite;
  SignatureLevel level;
  std::size_t key_total;
  std::size_t sig_total;
};

constexpr TagRow kTags[] = {
    {0x01, Suite::Hybrid, SignatureLevel::Cat2, 1345, 2485},
    {0x02, Suite::Hybrid, SignatureLevel::Cat3, 1985, 3374},
    {0x03, Suite::Hybrid, SignatureLevel::Cat5, 2625, 4692},
    {0x10, Suite::PureCnsa2, SignatureLevel::Cat5, 2593, 4628},
    {0x13, Suite::HybridMatched, SignatureLevel::Cat3, 2010, 3424},
    {0x14, Suite::HybridMatched, SignatureLevel::Cat5, 2726, 4760},
};

const CryptoError kUnknownTag = CryptoError::signature("unknown or missing signature version tag");

TEST(Posture, EveryTagAtItsExactLengths) {
  for (const TagRow& row : kTags) {
    const Posture want{row.suite, row.level};
    EXPECT_EQ(signature_posture(tagged_token(row.tag, row.sig_total)), want) << int(row.tag);
    EXPECT_EQ(public_key_posture(tagged_token(row.tag, row.key_total)), want) << int(row.tag);
  }
}

TEST(Posture, WrongLengthsReportExpectedAndGot) {
  for (const TagRow& row : kTags) {
    for (std::size_t got : {row.sig_total - 1, row.sig_total + 1, row.key_total, std::size_t{1}}) {
      EXPECT_EQ(signature_posture(tagged_token(row.tag, got)).error(), CryptoError::invalid_length(row.sig_total, got));
    }
    for (std::size_t got : {row.key_total - 1, row.key_total + 1, row.sig_total, std::size_t{1}}) {
      EXPECT_EQ(public_key_posture(tagged_token(row.tag, got)).error(), CryptoError::invalid_length(row.key_total, got));
    }
  }
  EXPECT_EQ(public_key_posture(tagged_token(0x13, 2011)).error().to_string(), "invalid length: expected 2010 bytes, got 2011");
}

TEST(Posture, EmptyAndUnknownTagsFail) {
  EXPECT_EQ(signature_posture("").error(), kUnknownTag);
  EXPECT_EQ(public_key_posture("").error(), kUnknownTag);
  for (int byte : {0x00, 0x04, 0x11, 0x12, 0x15, 0xff}) {
    const auto tag = static_cast<uint8_t>(byte);
    EXPECT_EQ(signature_posture(tagged_token(tag, 2485)).error(), kUnknownTag) << int(tag);
    EXPECT_EQ(public_key_posture(tagged_token(tag, 1345)).error(), kUnknownTag) << int(tag);
  }
}

TEST(Posture, UndecodableTokensFailWithTheDecoderText) {
  const std::string good = tagged_token(0x01, 1345);  // 1345 bytes: ends in "=="
  std::string non_canonical = good;
  non_canonical[non_canonical.size() - 3] = 'B';  // the last symbol before "==" now has low bits set
  EXPECT_EQ(public_key_posture(non_canonical).error().to_string(),
            "base64 decode: Invalid last symbol 66, offset " + std::to_string(good.size() - 3) + ".");
  EXPECT_EQ(signature_posture("AQ*=").error().to_string(), "base64 decode: Invalid symbol 42, offset 2.");
  EXPECT_EQ(signature_posture(good + "\n").error().to_string(),
            "base64 decode: Invalid symbol 10, offset " + std::to_string(good.size()) + ".");
}

TEST(Posture, TagTablesCoverExactlyTheKnownTags) {
  for (int byte = 0; byte < 256; ++byte) {
    const uint8_t tag = static_cast<uint8_t>(byte);
    const TagRow* row = nullptr;
    for (const TagRow& r : kTags) {
      if (r.tag == tag) row = &r;
    }
    const std::optional<Posture> posture = posture_from_tag(tag);
    ASSERT_EQ(posture.has_value(), row != nullptr) << byte;
    if (row != nullptr) {
      EXPECT_EQ(*posture, (Posture{row->suite, row->level}));
    }

    const std::vector<uint8_t> decoded{tag, 0x00};
    const auto level = level_from_tag(decoded);
    if (tag >= 0x01 && tag <= 0x03) {
      EXPECT_EQ(level, row->level) << byte;
    } else {
      EXPECT_EQ(level.error(), kUnknownTag) << byte;
    }
  }
  EXPECT_EQ(level_from_tag({}).error(), kUnknownTag);
}

TEST(Posture, TextForms) {
  EXPECT_EQ(to_string(Suite::Hybrid), "Hybrid");
  EXPECT_EQ(to_string(Suite::HybridMatched), "HybridMatched");
  EXPECT_EQ(to_string(Suite::PureCnsa2), "PureCnsa2");
  EXPECT_EQ(to_string(SignatureLevel::Cat2), "Cat2");
  EXPECT_EQ(to_string(SignatureLevel::Cat3), "Cat3");
  EXPECT_EQ(to_string(SignatureLevel::Cat5), "Cat5");
}

}  // namespace
