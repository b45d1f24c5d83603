#include <gtest/gtest.h>

#include "ffi/lift.hpp"
#include "ffi/lower.hpp"
#include "test_support.hpp"

namespace quorvantile_log::ffi {
namespace {

using Hex = std::vector<uint8_t>;

std::string fail_text(const auto& lifted) { return lifted ? std::string("ok") : lifted.error(); }

struct Case {
  const char* what;
  Hex buffer;
  std::string want;
};

TEST(LiftBytes, Table) {
  const Case cases[] = {
      {"empty buffer", {}, "not enough bytes remaining in buffer (0 < 4)"},
      {"short count", {0, 0, 1}, "not enough bytes remaining in buffer (3 < 4)"},
      {"negative count", {0xFF, 0xFF, 0xFF, 0xFF}, "out of range integral type conversion attempted"},
      {"one byte short", {0, 0, 0, 2, 0xAA}, "not enough bytes remaining in buffer (0 < 1)"},
      {"hostile count", {0x7F, 0xFF, 0xFF, 0xFF, 1, 2}, "not enough bytes remaining in buffer (0 < 1)"},
      {"junk", {0, 0, 0, 1, 0xAA, 0xBB}, "junk data left in buffer after lifting (count: 1)"},
      {"empty sequence", {0, 0, 0, 0}, "ok"},
      {"two bytes", {0, 0, 0, 2, 1, 2}, "ok"},
  };
  for (const auto& c : cases) EXPECT_EQ(fail_text(lift_bytes(c.buffer)), c.want) << c.what;
  const Hex encoded{0, 0, 0, 2, 1, 2};
  const ByteView view = *lift_bytes(encoded);
  EXPECT_EQ(Hex(view.begin(), view.end()), (Hex{1, 2}));
  EXPECT_EQ(view.data(), encoded.data() + 4);  // a view into the argument, not a copy
}

TEST(LiftBytesList, Table) {
  const Case cases[] = {
      {"empty buffer", {}, "not enough bytes remaining in buffer (0 < 4)"},
      {"hostile outer count", {0x7F, 0xFF, 0xFF, 0xFF}, "not enough bytes remaining in buffer (0 < 4)"},
      {"negative outer count", {0x80, 0, 0, 0}, "out of range integral type conversion attempted"},
      {"negative inner count", {0, 0, 0, 1, 0xFF, 0xFF, 0xFF, 0xFE}, "out of range integral type conversion attempted"},
      {"short inner count", {0, 0, 0, 1, 0, 0}, "not enough bytes remaining in buffer (2 < 4)"},
      {"short inner bytes", {0, 0, 0, 1, 0, 0, 0, 3, 9}, "not enough bytes remaining in buffer (0 < 1)"},
      {"junk", {0, 0, 0, 0, 7}, "junk data left in buffer after lifting (count: 1)"},
      {"two elements", {0, 0, 0, 2, 0, 0, 0, 1, 9, 0, 0, 0, 0}, "ok"},
  };
  for (const auto& c : cases) EXPECT_EQ(fail_text(lift_bytes_list(c.buffer)), c.want) << c.what;
  const Hex encoded{0, 0, 0, 2, 0, 0, 0, 1, 9, 0, 0, 0, 0};
  const auto two = *lift_bytes_list(encoded);
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(Hex(two[0].begin(), two[0].end()), Hex{9});
  EXPECT_TRUE(two[1].empty());
}

TEST(LiftStringList, Table) {
  const Case cases[] = {
      {"string longer than the rest", {0, 0, 0, 1, 0, 0, 0, 5, 'a', 'b'}, "not enough bytes remaining in buffer (2 < 5)"},
      {"negative length", {0, 0, 0, 1, 0xFF, 0, 0, 0}, "out of range integral type conversion attempted"},
      {"invalid lead byte", {0, 0, 0, 1, 0, 0, 0, 3, 'a', 0xFF, 'b'}, "invalid utf-8 sequence of 1 bytes from index 1"},
      {"bad third byte", {0, 0, 0, 1, 0, 0, 0, 4, 'a', 'b', 0xE2, 0x82}, "incomplete utf-8 byte sequence from index 2"},
      {"maximal subpart of 2", {0, 0, 0, 1, 0, 0, 0, 3, 0xE2, 0x82, 'x'}, "invalid utf-8 sequence of 2 bytes from index 0"},
      {"maximal subpart of 3", {0, 0, 0, 1, 0, 0, 0, 4, 0xF0, 0x9F, 0x98, 'x'}, "invalid utf-8 sequence of 3 bytes from index 0"},
      {"surrogate", {0, 0, 0, 1, 0, 0, 0, 3, 0xED, 0xA0, 0x80}, "invalid utf-8 sequence of 1 bytes from index 0"},
      {"second element bad", {0, 0, 0, 2, 0, 0, 0, 1, 'a', 0, 0, 0, 1, 0x80}, "invalid utf-8 sequence of 1 bytes from index 0"},
      {"valid", {0, 0, 0, 2, 0, 0, 0, 1, 'a', 0, 0, 0, 2, 0xC3, 0xA9}, "ok"},
      {"hostile count", {0x7F, 0, 0, 0, 0, 0, 0, 0}, "not enough bytes remaining in buffer (0 < 4)"},
  };
  for (const auto& c : cases) EXPECT_EQ(fail_text(lift_string_list(c.buffer)), c.want) << c.what;
}

TEST(LiftOptionalBytes, Table) {
  const Case cases[] = {
      {"absent", {0}, "ok"},
      {"bad tag", {2}, "unexpected tag byte for Option"},
      {"empty", {}, "not enough bytes remaining in buffer (0 < 1)"},
      {"present", {1, 0, 0, 0, 1, 7}, "ok"},
      {"present but short", {1, 0, 0, 0, 2, 7}, "not enough bytes remaining in buffer (0 < 1)"},
      {"junk after absent", {0, 0}, "junk data left in buffer after lifting (count: 1)"},
  };
  for (const auto& c : cases) EXPECT_EQ(fail_text(lift_optional_bytes(c.buffer)), c.want) << c.what;
  EXPECT_FALSE(lift_optional_bytes(Hex{0})->has_value());
  const Hex present{1, 0, 0, 0, 1, 7};
  const auto lifted = **lift_optional_bytes(present);
  EXPECT_EQ(Hex(lifted.begin(), lifted.end()), Hex{7});
}

TEST(LiftEnum, Table) {
  const Case cases[] = {
      {"variant 1", {0, 0, 0, 1}, "ok"},
      {"variant 2", {0, 0, 0, 2}, "ok"},
      {"variant 3", {0, 0, 0, 3}, "Invalid CommitmentHash enum value: 3"},
      {"variant 0", {0, 0, 0, 0}, "Invalid CommitmentHash enum value: 0"},
      {"negative", {0xFF, 0xFF, 0xFF, 0xFF}, "Invalid CommitmentHash enum value: -1"},
      {"junk", {0, 0, 0, 1, 0}, "junk data left in buffer after lifting (count: 1)"},
      {"short", {0, 0}, "not enough bytes remaining in buffer (2 < 4)"},
  };
  for (const auto& c : cases) EXPECT_EQ(fail_text(lift_enum(c.buffer, "CommitmentHash", 2)), c.want) << c.what;
}

TEST(Lower, RecordsEncodeFieldsInOrder) {
  Writer w;
  write(w, CheckpointHead{"o", 0x0102, {7, 8}, {"x", "yz"}});
  const RustBuffer buf = w.finish();
  const Hex got(buf.data, buf.data + buf.len);
  std::free(buf.data);
  const Hex want{0, 0, 0, 1, 'o', 0, 0, 0, 0, 0, 0, 1, 2, 0, 0, 0, 2, 7, 8, 0, 0, 0, 2, 0, 0, 0, 1, 'x', 0, 0, 0, 2, 'y', 'z'};
  EXPECT_EQ(got, want);

  Writer s;
  write(s, SearchResult{true, Hex{5}});
  const RustBuffer sb = s.finish();
  EXPECT_EQ(Hex(sb.data, sb.data + sb.len), (Hex{1, 1, 0, 0, 0, 1, 5}));
  std::free(sb.data);
}

TEST(Lower, VerifyErrorEncoding) {
  const RustBuffer buf = encode_verify_error(VerifyError{"wrong proof size: got 1, want 2"});
  const Hex got(buf.data, buf.data + buf.len);
  std::free(buf.data);
  Hex want{0, 0, 0, 1, 0, 0, 0, 0x1f};
  const std::string msg = "wrong proof size: got 1, want 2";
  want.insert(want.end(), msg.begin(), msg.end());
  EXPECT_EQ(got, want);
}

}  // namespace
}  // namespace quorvantile_log::ffi
