// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include <gtest/gtest.h>

#include "checkpoint/checkpoint.hpp"
#include "encoding/base64.hpp"

namespace quorvantile_log::checkpoint {
namespace {

// base64 of the 32 bytes 0x00, 0x01, ..., 0x1f.
std::string root_line() {
  std::vector<uint8_t> root(32);
  for (std::size_t i = 0; i < root.size(); ++i) root[i] = static_cast<uint8_t>(i);
  return encoding::base64_encode(root);
}

struct BodyCase {
  std::string body;
  std::string error;  // MalformedCheckpoint detail; empty when the body parses
};

TEST(CheckpointParse, TableOfCases) {
  const std::string r = root_line();
  const std::string r31 = encoding::base64_encode(std::vector<uint8_t>(31, 7));
  const std::string r33 = encoding::base64_encode(std::vector<uint8_t>(33, 7));
  const BodyCase cases[] = {
      {"o\n0\n" + r + "\n", ""},
      {"o\n0\n" + r, ""},
      {"o\r\n5\r\n" + r + "\r\n", ""},
      {"o\n18446744073709551615\n" + r + "\n", ""},
      {"o\n5\n" + r + "\next\n", ""},
      // Line count.
      {"", "missing origin line"},
      {"o", "missing tree-size line"},
      {"o\n", "missing tree-size line"},
      {"\n", "missing tree-size line"},
      {"o\n5", "missing root-hash line"},
      {"o\n5\n", "missing root-hash line"},
      // Origin, then size, then root.
      {"\n5\n" + r, "empty origin line"},
      {"\r\nx\n" + r, "empty origin line"},
      {"\nx\nbad", "empty origin line"},
      {"o\n\n" + r, "tree size is not decimal: \"\""},
      {"o\n+5\n" + r, "tree size is not decimal: \"+5\""},
      {"o\n 5\n" + r, "tree size is not decimal: \" 5\""},
      {"o\n5 \n" + r, "tree size is not decimal: \"5 \""},
      {"o\n-0\n" + r, "tree size is not decimal: \"-0\""},
      {"o\n0x10\n" + r, "tree size is not decimal: \"0x10\""},
      {"o\n\xD9\xA3\n" + r, "tree size is not decimal: \"\xD9\xA3\""},  // ARABIC-INDIC DIGIT THREE
      {"o\n5\r\r\n" + r, "tree size is not decimal: \"5\\r\""},
      {"o\n00\n" + r, "tree size has a leading zero: \"00\""},
      {"o\n007\n" + r, "tree size has a leading zero: \"007\""},
      {"o\n018446744073709551616\n" + r, "tree size has a leading zero: \"018446744073709551616\""},
      {"o\n18446744073709551616\n" + r, "tree size overflow: \"18446744073709551616\""},
      {"o\n99999999999999999999999\n" + r, "tree size overflow: \"99999999999999999999999\""},
      {"o\n5\n" + r31, "root hash is 31 bytes, want 32"},
      {"o\n5\n" + r33, "root hash is 33 bytes, want 32"},
      {"o\n5\n", "missing root-hash line"},
      {"o\n5\n\n", "root hash is 0 bytes, want 32"},
      {"o\n5\n" + r.substr(1), "root hash is not valid base64: " + quote(r.substr(1))},
      {"o\n5\n" + r.substr(0, 10) + "-" + r.substr(11), "root hash is not valid base64: " +
                                                           quote(r.substr(0, 10) + "-" + r.substr(11))},
      {"o\n5\n" + r + " ", "root hash is not valid base64: " + quote(r + " ")},
      // Extensions.
      {"o\n5\n" + r + "\n\n", "empty extension line"},
      {"o\n5\n" + r + "\na\n\nb\n", "empty extension line"},
      {"o\n5\n" + r + "\r\n\r\n", "empty extension line"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "body " << quote(c.body));
    const auto parsed = Checkpoint::parse(c.body);
    if (c.error.empty()) {
      EXPECT_TRUE(parsed.has_value()) << parsed.error().render();
    } else {
      ASSERT_FALSE(parsed.has_value());
      EXPECT_EQ(parsed.error().kind(), Error::Kind::MalformedCheckpoint);
      EXPECT_EQ(parsed.error().render(), "malformed checkpoint: " + c.error);
    }
  }
}

TEST(CheckpointParse, FieldsAndExtensionsVerbatim) {
  const std::string r = root_line();
  const auto parsed = Checkpoint::parse("example.com/log\n18446744073709551615\n" + r +
                                        "\n\xE2\x80\x94 looks like a signature\n  spaced ext \nlast\r\n");
  ASSERT_TRUE(parsed.has_value()) << parsed.error().render();
  EXPECT_EQ(parsed->origin, "example.com/log");
  EXPECT_EQ(parsed->size, 18446744073709551615u);
  for (std::size_t i = 0; i < 32; ++i) EXPECT_EQ(parsed->root[i], i);
  EXPECT_EQ(parsed->extensions,
            (std::vector<std::string>{"\xE2\x80\x94 looks like a signature", "  spaced ext ", "last"}));

  const CheckpointHead head = parsed->to_head();
  EXPECT_EQ(head.origin, parsed->origin);
  EXPECT_EQ(head.size, parsed->size);
  EXPECT_EQ(head.root, std::vector<uint8_t>(parsed->root.begin(), parsed->root.end()));
  EXPECT_EQ(head.extensions, parsed->extensions);

  const auto three = Checkpoint::parse("o\n0\n" + r + "\n");
  ASSERT_TRUE(three.has_value());
  EXPECT_EQ(three->size, 0u);
  EXPECT_TRUE(three->extensions.empty());
}

TEST(CheckpointParse, CarriageReturnOnlyBeforeLineFeedEndsALine) {
  const std::string r = root_line();
  // A final carriage return without a line feed stays in the last line.
  const auto parsed = Checkpoint::parse("o\n1\n" + r + "\next\r");
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->extensions, std::vector<std::string>{"ext\r"});
  const auto origin_cr = Checkpoint::parse("o\r\r\n1\n" + r);
  ASSERT_TRUE(origin_cr.has_value());
  EXPECT_EQ(origin_cr->origin, "o\r");
}

}  // namespace
}  // namespace quorvantile_log::checkpoint
