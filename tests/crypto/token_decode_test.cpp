// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <string>
#include <vector>

#include "quorvantile_crypto/sign.hpp"
#include "test_support.hpp"

namespace {

using quorvantile_crypto::CryptoError;
using quorvantile_crypto::decode_token;

std::string encode(const std::vector<uint8_t>& bytes) {
  std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
  const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()), bytes.data(), static_cast<int>(bytes.size()));
  out.resize(static_cast<std::size_t>(n));
  return out;
}

struct Accepted {
  const char* token;
  const char* hex;
};

TEST(TokenDecode, AcceptsCanonicalStandardBase64) {
  const Accepted cases[] = {
      {"", ""},         {"QQ==", "41"},         {"QUI=", "4142"},     {"QUJD", "414243"},   {"QUJDRA==", "41424344"},
      {"/w==", "ff"},   {"//8=", "ffff"},       {"////", "ffffff"},   {"AAAA", "000000"},   {"+/+/", "fbffbf"},
  };
  for (const auto& c : cases) {
    const auto decoded = decode_token(c.token);
    ASSERT_TRUE(decoded.has_value()) << c.token << ": " << decoded.error().to_string();
    EXPECT_EQ(qv_test::to_hex(*decoded), c.hex) << c.token;
  }
}

struct Rejected {
  std::string token;
  const char* text;
};

// Each failure class of the strict decoder, with the reported byte, offset or length.
TEST(TokenDecode, ClassifiesEveryFailure) {
  const Rejected cases[] = {
      // Non-zero bits below the decoded bytes in the last symbol.
      {"QR==", "Invalid last symbol 82, offset 1."},
      {"QUJ=", "Invalid last symbol 74, offset 2."},
      {"QUJDRB==", "Invalid last symbol 66, offset 5."},
      {"/x==", "Invalid last symbol 120, offset 1."},
      // A single symbol in the final group.
      {"Q", "Invalid input length: 1"},
      {"QUJDR", "Invalid input length: 5"},
      // Missing or surplus padding.
      {"QQ", "Invalid padding"},
      {"QUI", "Invalid padding"},
      {"QQ=", "Invalid padding"},
      {"QUJDQQ", "Invalid padding"},
      {"QUJDQUI", "Invalid padding"},
      // '=' where no padding may stand, or too early in the final group.
      {"====", "Invalid symbol 61, offset 0."},
      {"Q===", "Invalid symbol 61, offset 1."},
      {"QQ=Q", "Invalid symbol 61, offset 2."},
      {"QUI==", "Invalid symbol 61, offset 3."},
      {"QQ===", "Invalid symbol 61, offset 2."},
      {"QUJDQQ===", "Invalid symbol 61, offset 6."},
      {"QQ==QUJD", "Invalid symbol 61, offset 2."},
      // Bytes outside the alphabet: URL-safe symbols, whitespace, non-ASCII.
      {"QU*D", "Invalid symbol 42, offset 2."},
      {"QQ-_", "Invalid symbol 45, offset 2."},
      {"QUJD_w==", "Invalid symbol 95, offset 4."},
      {"QU JD", "Invalid symbol 32, offset 2."},
      {"QUJD\r\n", "Invalid symbol 13, offset 4."},
      {std::string("QQ\xc3=", 4), "Invalid symbol 195, offset 2."},
      {std::string("QU\0D", 4), "Invalid symbol 0, offset 2."},
      // A stray last byte after whole groups is reported before anything earlier.
      {"QUJD\n", "Invalid symbol 10, offset 4."},
      {"*UJD\n", "Invalid symbol 10, offset 4."},
      {"*UJDQ", "Invalid symbol 42, offset 0."},
  };
  for (const auto& c : cases) {
    const auto decoded = decode_token(c.token);
    ASSERT_FALSE(decoded.has_value()) << c.token;
    EXPECT_EQ(decoded.error(), CryptoError::base64(c.text)) << c.token;
    EXPECT_EQ(decoded.error().to_string(), std::string("base64 decode: ") + c.text) << c.token;
  }
}

TEST(TokenDecode, RoundTripsEveryLength) {
  std::vector<uint8_t> bytes;
  for (std::size_t len = 0; len <= 70; ++len) {
    const std::string token = encode(bytes);
    const auto decoded = decode_token(token);
    ASSERT_TRUE(decoded.has_value()) << token;
    EXPECT_EQ(*decoded, bytes) << token;
    bytes.push_back(static_cast<uint8_t>(len * 37 + 11));
  }
}

// Exhaustive over the last symbol of a 2- and a 3-symbol final group: exactly the symbols whose
// unused low bits are zero decode.
TEST(TokenDecode, RejectsEveryLastSymbolWithTrailingBits) {
  static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  for (std::size_t v = 0; v < 64; ++v) {
    const std::string one = std::string("QUJD") + "Q" + alphabet[v] + "==";
    const std::string two = std::string("QUJD") + "QU" + alphabet[v] + "=";
    EXPECT_EQ(decode_token(one).has_value(), (v & 0x0f) == 0) << one;
    EXPECT_EQ(decode_token(two).has_value(), (v & 0x03) == 0) << two;
    if ((v & 0x0f) != 0) {
      EXPECT_EQ(decode_token(one).error().detail(),
                "Invalid last symbol " + std::to_string(static_cast<int>(alphabet[v])) + ", offset 5.");
    }
  }
}

}  // namespace
