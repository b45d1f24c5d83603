// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include <gtest/gtest.h>

#include "encoding/base64.hpp"
#include "note/name.hpp"
#include "note/signed_note.hpp"

namespace quorvantile_log::note {
namespace {

// A well-formed line whose blob is key id 0x00000000 and one signature byte.
const std::string kLine = "\xE2\x80\x94 n AAAAAAA=\n";

std::string line_with(std::string_view name, const std::vector<uint8_t>& blob) {
  return "\xE2\x80\x94 " + std::string(name) + " " + encoding::base64_encode(blob) + "\n";
}

struct ParseCase {
  std::string note;
  std::string error;  // detail of the MalformedNote error, empty when the note parses
};

TEST(SignedNoteParse, TableOfCases) {
  const std::string prefix_missing = "signature line missing '\xE2\x80\x94 ' prefix: ";
  const ParseCase cases[] = {
      {"hello\n\n" + kLine, ""},
      {"\n\n" + kLine, ""},
      {"a\n\n\nb\n\n" + kLine, ""},
      {"byte \x7f and \xC3\xA9 are fine\n\n" + kLine, ""},
      // Control bytes anywhere, checked before the structure.
      {"a\tb\n\n" + kLine, "note contains a forbidden control character"},
      {"ab\r\n\r\n" + kLine, "note contains a forbidden control character"},
      {"ab\n\n\xE2\x80\x94 n AAAAAAA=\r\n", "note contains a forbidden control character"},
      {std::string("a\0b\n\n", 5) + kLine, "note contains a forbidden control character"},
      {"a\x1f\n", "note contains a forbidden control character"},
      {"a\x01", "note contains a forbidden control character"},
      // Separator and block.
      {"", "missing blank-line signature separator"},
      {"hello\n" + kLine, "missing blank-line signature separator"},
      {"hello\n\n", "signature block is empty or unterminated"},
      {"hello\n\n" + kLine + "\n", "signature block is empty or unterminated"},
      {"hello\n\n\xE2\x80\x94 n AAAAAAA=", "signature block is empty or unterminated"},
      {"hello\n\n" + kLine + "\xE2\x80\x94 n AAAAAAA=", "signature block is empty or unterminated"},
      // Lines.
      {"t\n\n- n AAAAAAA=\n", prefix_missing + "\"- n AAAAAAA=\""},
      {"t\n\n\xE2\x80\x94\n", prefix_missing + "\"\xE2\x80\x94\""},
      {"t\n\n\xE2\x80\x94n AAAAAAA=\n", prefix_missing + "\"\xE2\x80\x94n AAAAAAA=\""},
      {"t\n\n\"x\\\n", prefix_missing + "\"\\\"x\\\\\""},
      {"t\n\n" + kLine + "stray\n", prefix_missing + "\"stray\""},
      {"t\n\n\xE2\x80\x94 nAAAAAAA=\n", "signature line missing space"},
      {"t\n\n\xE2\x80\x94 \n", "signature line missing space"},
      {"t\n\n\xE2\x80\x94  AAAAAAA=\n", "invalid signature line name/blob: \"\xE2\x80\x94  AAAAAAA=\""},
      {"t\n\n\xE2\x80\x94 n \n", "invalid signature line name/blob: \"\xE2\x80\x94 n \""},
      {"t\n\n\xE2\x80\x94 a+b AAAAAAA=\n", "invalid signature line name/blob: \"\xE2\x80\x94 a+b AAAAAAA=\""},
      // Blob decoding, then its length.
      {"t\n\n\xE2\x80\x94 n AAAAAAA\n", "base64 length is not a multiple of 4"},
      {"t\n\n\xE2\x80\x94 n AAA AAA=\n", "invalid base64 character"},
      {"t\n\n\xE2\x80\x94 n ====\n", "too much base64 padding"},
      {"t\n\n\xE2\x80\x94 n AAAAAAB=\n", "non-canonical base64"},
      {"t\n\n\xE2\x80\x94 n AAAAAA==\n", "signature blob too short"},
      {"t\n\n\xE2\x80\x94 n AAAA\n", "signature blob too short"},
      // The first failing line decides.
      {"t\n\n\xE2\x80\x94 n AAAA\n- x\n", "signature blob too short"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "note " << quote(c.note));
    const auto parsed = SignedNote::parse(c.note);
    if (c.error.empty()) {
      EXPECT_TRUE(parsed.has_value()) << parsed.error().render();
    } else {
      ASSERT_FALSE(parsed.has_value());
      EXPECT_EQ(parsed.error().kind(), Error::Kind::MalformedNote);
      EXPECT_EQ(parsed.error().render(), "malformed signed note: " + c.error);
    }
  }
}

TEST(SignedNoteParse, SplitsAtTheLastBlankLine) {
  const auto parsed = SignedNote::parse("a\n\nb\n\n" + line_with("alpha", {0x1a, 0x2b, 0x3c, 0x4d, 0xee, 0xff}) +
                                        line_with("b\xC3\xA9ta", {0, 0, 0, 1, 7}));
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->text(), "a\n\nb\n");
  ASSERT_EQ(parsed->signatures().size(), 2u);
  EXPECT_EQ(parsed->signatures()[0].name, "alpha");
  EXPECT_EQ(parsed->signatures()[0].key_id, 0x1a2b3c4du);
  EXPECT_EQ(parsed->signatures()[0].signature, (std::vector<uint8_t>{0xee, 0xff}));
  EXPECT_EQ(parsed->signatures()[1].name, "b\xC3\xA9ta");
  EXPECT_EQ(parsed->signatures()[1].key_id, 1u);
  EXPECT_EQ(parsed->signatures()[1].signature, (std::vector<uint8_t>{7}));
}

TEST(SignedNoteParse, AtMostOneHundredSignatureLines) {
  std::string block;
  for (int i = 0; i < 100; ++i) block += kLine;
  const auto hundred = SignedNote::parse("t\n\n" + block);
  ASSERT_TRUE(hundred.has_value());
  EXPECT_EQ(hundred->signatures().size(), 100u);

  const auto too_many = SignedNote::parse("t\n\n" + block + kLine);
  ASSERT_FALSE(too_many.has_value());
  EXPECT_EQ(too_many.error().render(), "malformed signed note: too many signatures");

  // Lines are checked as they are read: a bad 101st line reports its own fault.
  const auto bad_101st = SignedNote::parse("t\n\n" + block + "x\n");
  ASSERT_FALSE(bad_101st.has_value());
  EXPECT_EQ(bad_101st.error().detail(), "signature line missing '\xE2\x80\x94 ' prefix: \"x\"");
}

TEST(SignedNoteCreate, TextMustEndInLineFeed) {
  EXPECT_TRUE(SignedNote::create("a\n", {}).has_value());
  for (const char* text : {"", "a", "a\n\nb"}) {
    const auto created = SignedNote::create(text, {});
    ASSERT_FALSE(created.has_value());
    EXPECT_EQ(created.error().render(), "malformed signed note: note text must end in newline");
  }
}

// Every character of the Unicode White_Space property, UTF-8 encoded.
const std::pair<const char*, std::string> kWhiteSpace[] = {
    {"U+0009", "\t"},           {"U+000A", "\n"},           {"U+000B", "\v"},           {"U+000C", "\f"},
    {"U+000D", "\r"},           {"U+0020", " "},            {"U+0085", "\xC2\x85"},     {"U+00A0", "\xC2\xA0"},
    {"U+1680", "\xE1\x9A\x80"}, {"U+2000", "\xE2\x80\x80"}, {"U+2001", "\xE2\x80\x81"}, {"U+2002", "\xE2\x80\x82"},
    {"U+2003", "\xE2\x80\x83"}, {"U+2004", "\xE2\x80\x84"}, {"U+2005", "\xE2\x80\x85"}, {"U+2006", "\xE2\x80\x86"},
    {"U+2007", "\xE2\x80\x87"}, {"U+2008", "\xE2\x80\x88"}, {"U+2009", "\xE2\x80\x89"}, {"U+200A", "\xE2\x80\x8A"},
    {"U+2028", "\xE2\x80\xA8"}, {"U+2029", "\xE2\x80\xA9"}, {"U+202F", "\xE2\x80\xAF"}, {"U+205F", "\xE2\x81\x9F"},
    {"U+3000", "\xE3\x80\x80"},
};

TEST(IsValidName, RejectsEveryWhiteSpaceCharacter) {
  for (const auto& [label, ws] : kWhiteSpace) {
    EXPECT_FALSE(is_valid_name("a" + ws + "b")) << label;
    EXPECT_FALSE(is_valid_name(ws)) << label;
    EXPECT_FALSE(is_valid_name("name" + ws)) << label;
  }
}

TEST(IsValidName, TableOfOtherCases) {
  const std::pair<std::string, bool> cases[] = {
      {"", false},
      {"+", false},
      {"a+b", false},
      {"a", true},
      {"example.com/log", true},
      {"\xC3\xA9t\xC3\xA9", true},
      {"zero\xE2\x80\x8Bwidth", true},     // U+200B is not White_Space
      {"mongolian\xE1\xA0\x8E", true},     // U+180E left White_Space in Unicode 6.3
      {"nel\xC2\x84", true},               // U+0084, next to U+0085
      {"x\xE2\x80\x8B\xE2\x81\xA0", true}, // U+200B, U+2060
      {"\xFF", false},                     // not UTF-8
      {"a\xE2\x80", false},                // truncated sequence
      {"\xED\xA0\x80", false},             // encoded surrogate
      {"\x7f", true},
  };
  for (const auto& [name, valid] : cases) EXPECT_EQ(is_valid_name(name), valid) << quote(name);
}

TEST(SignedNoteParse, SignatureLineNamesWithWhiteSpace) {
  for (const auto& [label, ws] : kWhiteSpace) {
    const std::string line = "\xE2\x80\x94 a" + ws + "b AAAAAAA=";
    const auto parsed = SignedNote::parse("t\n\n" + line + "\n");
    ASSERT_FALSE(parsed.has_value()) << label;
    std::string want = "invalid signature line name/blob: " + quote(line);
    if (ws == "\n") want = "signature line missing space";            // the line ends after "a"
    if (ws == " ") want = "base64 length is not a multiple of 4";     // the name ends at the space
    if (ws.size() == 1 && ws[0] < 0x20 && ws[0] != '\n') want = "note contains a forbidden control character";
    EXPECT_EQ(parsed.error().detail(), want) << label;
  }
}

}  // namespace
}  // namespace quorvantile_log::note
