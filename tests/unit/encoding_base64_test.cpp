// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include <gtest/gtest.h>

#include <random>

#include "encoding/base64.hpp"
#include "encoding/key_id_hex.hpp"
#include "test_support.hpp"

namespace quorvantile_log::encoding {
namespace {

struct DecodeCase {
  std::string input;
  std::string hex_or_error;  // expected bytes in hex, or the MalformedNote detail
  bool ok;
};

TEST(Base64Decode, TableOfCases) {
  const DecodeCase cases[] = {
      {"", "", true},
      {"QQ==", "41", true},
      {"QUI=", "4142", true},
      {"QUJD", "414243", true},
      {"QUJDRA==", "41424344", true},
      {"AAAA", "000000", true},
      {"////", "ffffff", true},
      {"+/+/", "fbffbf", true},
      // Length first: wins over bad characters and padding.
      {"abc", "base64 length is not a multiple of 4", false},
      {"QQ=", "base64 length is not a multiple of 4", false},
      {"*", "base64 length is not a multiple of 4", false},
      {"QUJDR", "base64 length is not a multiple of 4", false},
      // Padding count before any group is read.
      {"====", "too much base64 padding", false},
      {"A===", "too much base64 padding", false},
      {"*===", "too much base64 padding", false},
      {"QUJD====", "too much base64 padding", false},
      // Characters outside the standard alphabet, URL-safe ones included.
      {"QU*D", "invalid base64 character", false},
      {"QU-D", "invalid base64 character", false},
      {"QU_D", "invalid base64 character", false},
      {"QU D", "invalid base64 character", false},
      {"QU\nD", "invalid base64 character", false},
      {std::string("QU\0D", 4), "invalid base64 character", false},
      {"QU\xC3\xA9", "invalid base64 character", false},
      // Non-zero bits below the last significant character.
      {"QR==", "non-canonical base64", false},
      {"QUJ=", "non-canonical base64", false},
      {"AB==", "non-canonical base64", false},
      {"AAB=", "non-canonical base64", false},
      // The first failing group decides; a bad character before the group's canonical check.
      {"QR==*AAA", "non-canonical base64", false},
      {"QUJD*AA=", "invalid base64 character", false},
      {"QR*=", "invalid base64 character", false},
      {"A=*=", "invalid base64 character", false},
      {"QQ==QR==", "non-canonical base64", false},
      // Fewer than two significant characters in a group.
      {"A===QUJD", "invalid base64 group", false},
      {"====QUJD", "invalid base64 group", false},
      // "=" is only accepted as the final padding: anything else has another canonical text.
      {"QQ==QUJD", "non-canonical base64", false},
      {"Q=QU", "non-canonical base64", false},
      {"QU=D", "non-canonical base64", false},
      {"A=A=", "non-canonical base64", false},
      {"=A==", "non-canonical base64", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "input " << quote(c.input));
    const auto decoded = base64_decode(c.input);
    if (c.ok) {
      ASSERT_TRUE(decoded.has_value()) << decoded.error().render();
      EXPECT_EQ(qv_test::to_hex(*decoded), c.hex_or_error);
    } else {
      ASSERT_FALSE(decoded.has_value());
      EXPECT_EQ(decoded.error().kind(), Error::Kind::MalformedNote);
      EXPECT_EQ(decoded.error().render(), "malformed signed note: " + c.hex_or_error);
    }
  }
}

TEST(Base64Decode, WholeAlphabetMapsInOrder) {
  const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  for (std::size_t value = 0; value < alphabet.size(); ++value) {
    const auto decoded = base64_decode(std::string(1, alphabet[value]) + "AAA");
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ((*decoded)[0], value << 2) << alphabet[value];
  }
}

TEST(Base64Decode, EveryByteOutsideTheAlphabetIsRejected) {
  const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=";
  for (int b = 0; b < 256; ++b) {
    if (alphabet.find(static_cast<char>(b)) != std::string::npos) continue;
    const std::string input = std::string("AA") + static_cast<char>(b) + "A";
    const auto decoded = base64_decode(input);
    ASSERT_FALSE(decoded.has_value()) << b;
    EXPECT_EQ(decoded.error().detail(), "invalid base64 character") << b;
  }
}

TEST(Base64Encode, PaddingByFinalGroupLength) {
  const std::pair<std::vector<uint8_t>, std::string> cases[] = {
      {{}, ""},
      {{0x41}, "QQ=="},
      {{0x41, 0x42}, "QUI="},
      {{0x41, 0x42, 0x43}, "QUJD"},
      {{0xfb, 0xff}, "+/8="},
      {{0x00, 0x00, 0x00, 0x00}, "AAAAAA=="},
  };
  for (const auto& [bytes, text] : cases) EXPECT_EQ(base64_encode(bytes), text);
}

TEST(Base64, RandomBytesRoundTrip) {
  std::mt19937 rng(20261208);
  for (std::size_t len = 0; len <= 300; ++len) {
    for (int rep = 0; rep < 4; ++rep) {
      std::vector<uint8_t> bytes(len);
      for (auto& b : bytes) b = static_cast<uint8_t>(rng());
      const std::string text = base64_encode(bytes);
      EXPECT_EQ(text.size(), (len + 2) / 3 * 4);
      const auto decoded = base64_decode(text);
      ASSERT_TRUE(decoded.has_value()) << len;
      EXPECT_EQ(*decoded, bytes);
    }
  }
}

TEST(KeyIdHex, TableOfCases) {
  const std::pair<std::string, std::optional<uint32_t>> cases[] = {
      {"0A1b2C3d", 0x0a1b2c3d}, {"00000000", 0}, {"ffffffff", 0xffffffff}, {"FFFFFFFF", 0xffffffff},
      {"c74f20a3", 0xc74f20a3}, {"0a1b2c3g", std::nullopt}, {"+0000000", std::nullopt},
      {"0000 000", std::nullopt}, {"0x001122", std::nullopt},
  };
  for (const auto& [hex, want] : cases) {
    const auto got = decode_key_id(std::span<const char, 8>(hex.data(), 8));
    if (want) {
      ASSERT_TRUE(got.has_value()) << hex;
      EXPECT_EQ(*got, *want) << hex;
    } else {
      ASSERT_FALSE(got.has_value()) << hex;
      EXPECT_EQ(got.error().render(), "malformed signed note: invalid hex character") << hex;
    }
  }
}

}  // namespace
}  // namespace quorvantile_log::encoding
