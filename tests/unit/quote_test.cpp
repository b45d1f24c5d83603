// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include <gtest/gtest.h>

#include "error/error.hpp"

namespace quorvantile_log {
namespace {

struct QuoteCase {
  std::string input;
  std::string quoted;
};

TEST(Quote, EscapesAndPrintables) {
  const QuoteCase cases[] = {
      {"", "\"\""},
      {"alpha", "\"alpha\""},
      {"a\\b", "\"a\\\\b\""},
      {"say \"hi\"", "\"say \\\"hi\\\"\""},
      {"it's", "\"it's\""},  // single quote is not escaped
      {"\t\r\n", "\"\\t\\r\\n\""},
      {std::string("a\0b", 3), "\"a\\0b\""},
      {"\x01\x1f\x7f", "\"\\u{1}\\u{1f}\\u{7f}\""},
      {"\xc2\x85", "\"\\u{85}\""},                       // NEL, a control character
      {"\xc2\xa0", "\"\\u{a0}\""},                       // no-break space
      {"\xe2\x80\xa8\xe2\x80\xa9", "\"\\u{2028}\\u{2029}\""},
      {"\xe3\x80\x80", "\"\\u{3000}\""},                 // ideographic space
      {"\xe2\x80\x8b", "\"\\u{200b}\""},                 // zero-width space (format)
      {"e\xcc\x81", "\"e\\u{301}\""},                    // combining acute accent
      {"\xe2\x80\x94 caf\xc3\xa9", "\"\xe2\x80\x94 caf\xc3\xa9\""},  // em dash and é stay
      {"\xf0\x9f\x98\x80", "\"\xf0\x9f\x98\x80\""},      // emoji stays
      {"\xef\xbf\xbf", "\"\\u{ffff}\""},                 // noncharacter
      {"\xee\x80\x80", "\"\\u{e000}\""},                 // private use
  };
  for (const auto& c : cases) EXPECT_EQ(quote(c.input), c.quoted) << c.input;
}

TEST(Quote, InvalidUtf8BecomesReplacementCharacters) {
  const std::string fffd = "\xef\xbf\xbd";
  const QuoteCase cases[] = {
      {"\xff", "\"" + fffd + "\""},
      {"a\x80z", "\"a" + fffd + "z\""},
      {"\xe2\x80", "\"" + fffd + "\""},              // truncated at the end: one replacement
      {"\xe2\x80z", "\"" + fffd + "z\""},            // maximal subpart of two bytes
      {"\xed\xa0\x80", "\"" + fffd + fffd + fffd + "\""},  // surrogate encodings are invalid bytewise
      {"\xf0\x9f\x98", "\"" + fffd + "\""},
      {"\xc0\xaf", "\"" + fffd + fffd + "\""},       // overlong
  };
  for (const auto& c : cases) EXPECT_EQ(quote(c.input), c.quoted);
}

TEST(VerifyErrorConversion, CarriesTheRenderedMessageUnchanged) {
  EXPECT_EQ(VerifyError::from(Error::wrong_proof_size(1, 2)).message, "wrong proof size: got 1, want 2");
  EXPECT_EQ(VerifyError::from(Error::malformed_policy("")).message, "malformed namespace policy: ");
}

}  // namespace
}  // namespace quorvantile_log
