// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include <gtest/gtest.h>

#include <string>

#include "coniks/namespace.hpp"
#include "leaf/context_label.hpp"

namespace quorvantile_log {
namespace {

using namespace std::string_literals;

std::string outcome(const Result<ContextLabel>& r) { return r ? "ok" : r.error().render(); }

TEST(ContextLabel, ValidLabelsKeepTextSegmentsAndVersion) {
  struct Row {
    std::string text;
    std::size_t first, second;
    uint64_t version;
  } rows[] = {
      {"a/b/v0", 1, 1, 0},
      {"a/b/v18446744073709551615", 1, 1, UINT64_MAX},
      {"tarnfel/key-history/v1", 7, 11, 1},
      {"!~/\"x/v10", 2, 2, 10},
  };
  for (const Row& r : rows) {
    const auto got = ContextLabel::parse(r.text);
    ASSERT_TRUE(got) << r.text << ": " << got.error().render();
    EXPECT_EQ(*got, (ContextLabel{r.text, r.first, r.second, r.version}));
  }
}

TEST(ContextLabel, EachRuleInOrderWithQuotedLabel) {
  const std::string p = "malformed canonical leaf: context label ";
  struct Row {
    std::string text;
    std::string want;
  } rows[] = {
      {"a/b/c/v1", p + "has too many '/'-segments: \"a/b/c/v1\""},
      {"a//b/c", p + "has too many '/'-segments: \"a//b/c\""},
      {" /b/c/v01", p + "has too many '/'-segments: \" /b/c/v01\""},
      {"", p + "segments must be non-empty printable ASCII: \"\""},
      {"a", p + "segments must be non-empty printable ASCII: \"a\""},
      {"/b/v1", p + "segments must be non-empty printable ASCII: \"/b/v1\""},
      {"a b/c/v1", p + "segments must be non-empty printable ASCII: \"a b/c/v1\""},
      {"a//v1", p + "segments must be non-empty printable ASCII: \"a//v1\""},
      {"a/b\x7f/v1", p + "segments must be non-empty printable ASCII: \"a/b\\u{7f}/v1\""},
      {"a/\xc3\xa9/v1", p + "segments must be non-empty printable ASCII: \"a/\xc3\xa9/v1\""},
      {"a\t/b/v1", p + "segments must be non-empty printable ASCII: \"a\\t/b/v1\""},
      {"a/b", p + "version must start with 'v': \"a/b\""},
      {"a/b/", p + "version must start with 'v': \"a/b/\""},
      {"a/b/V1", p + "version must start with 'v': \"a/b/V1\""},
      {"a/b/v", p + "version must be 'v' followed by digits: \"a/b/v\""},
      {"a/b/vx", p + "version must be 'v' followed by digits: \"a/b/vx\""},
      {"a/b/v1 ", p + "version must be 'v' followed by digits: \"a/b/v1 \""},
      {"a/b/v01", p + "version must not have leading zeros: \"a/b/v01\""},
      {"a/b/v00", p + "version must not have leading zeros: \"a/b/v00\""},
      {"a/b/v18446744073709551616", p + "version overflow: \"a/b/v18446744073709551616\""},
      {"a/b/v99999999999999999999", p + "version overflow: \"a/b/v99999999999999999999\""},
      {"\"q\"/b/v", p + "version must be 'v' followed by digits: \"\\\"q\\\"/b/v\""},
      {"a/b/v1\0"s, p + "version must be 'v' followed by digits: \"a/b/v1\\0\""},
  };
  for (const Row& r : rows) EXPECT_EQ(outcome(ContextLabel::parse(r.text)), r.want) << r.text;
}

TEST(Namespace, PrintableAsciiWithoutSlash) {
  const std::string p = "malformed namespace: namespace must be non-empty printable ASCII without '/': ";
  struct Row {
    std::string text;
    std::string want;
  } rows[] = {
      {"acme", "ok"},
      {"!~x.y-z_0", "ok"},
      {"", p + "\"\""},
      {"a/b", p + "\"a/b\""},
      {"a b", p + "\"a b\""},
      {"caf\xc3\xa9", p + "\"caf\xc3\xa9\""},
      {"tab\t", p + "\"tab\\t\""},
      {"nul\0"s, p + "\"nul\\0\""},
  };
  for (const Row& r : rows) {
    const auto got = Namespace::parse(r.text);
    EXPECT_EQ(got ? "ok" : got.error().render(), r.want) << r.text;
    if (got) {
      EXPECT_EQ(got->text(), r.text);
    }
  }
}

}  // namespace
}  // namespace quorvantile_log
