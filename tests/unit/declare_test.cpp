// The one-declaration mechanism, exercised with declarations local to this test: internal
// failures at the boundary, result lowering, and how records and checksums follow declarations.
#include <gtest/gtest.h>

#include <stdexcept>

#include "ffi/declare.hpp"

namespace test_work {

using quorvantile_log::ExportResult;
using quorvantile_log::Result;

Result<uint32_t> throws_text(uint64_t) { throw std::runtime_error("boom"); }
Result<uint32_t> throws_nothing_useful(uint64_t) { throw 42; }
Result<uint32_t> count_bytes(quorvantile_crypto::ByteView bytes) { return static_cast<uint32_t>(bytes.size()); }
ExportResult<void> composed_error(std::string_view) {
  return std::unexpected(quorvantile_log::VerifyError{"opening must be exactly 32 bytes"});
}
Result<quorvantile_log::CheckpointHead> head(std::vector<std::string_view> lines) {
  return quorvantile_log::CheckpointHead{std::string(lines.empty() ? "" : lines[0]), lines.size(), {1, 2},
                                         quorvantile_log::text::TextLines(lines.begin(), lines.end())};
}

}  // namespace test_work

QV_EXPORT(test_throws_text, TEST_THROWS_TEXT, U32, test_work::throws_text, "doc", (x, U64))
QV_EXPORT(test_throws_nothing, TEST_THROWS_NOTHING, U32, test_work::throws_nothing_useful, "doc", (x, U64))
QV_EXPORT(test_count_bytes, TEST_COUNT_BYTES, U32, test_work::count_bytes, "Counts bytes.", (data, Bytes))
QV_EXPORT(test_count_bytes_other_doc, TEST_COUNT_BYTES_OTHER_DOC, U32, test_work::count_bytes, "Counts bytes!",
          (data, Bytes))
QV_EXPORT(test_composed_error, TEST_COMPOSED_ERROR, Void, test_work::composed_error, "", (text, String))
QV_EXPORT(test_head, TEST_HEAD, CheckpointHeadResult, test_work::head, "", (lines, StringList))

namespace {

std::string take_text(RustBuffer buf) {
  std::string s(reinterpret_cast<const char*>(buf.data), buf.len);
  quorvantile_log::ffi::buffer_release(buf);
  return s;
}

RustBuffer arg(std::vector<uint8_t> bytes) { return quorvantile_log::ffi::buffer_from(bytes); }

TEST(Declare, InternalFailuresBecomeCode2) {
  RustCallStatus status{};
  EXPECT_EQ(uniffi_quorvantile_log_fn_func_test_throws_text(1, &status), 0u);
  EXPECT_EQ(status.code, 2);
  EXPECT_EQ(take_text(status.error_buf), "boom");
  status = {};
  EXPECT_EQ(uniffi_quorvantile_log_fn_func_test_throws_nothing(1, &status), 0u);
  EXPECT_EQ(status.code, 2);
  EXPECT_EQ(take_text(status.error_buf), "Unknown panic!");
}

TEST(Declare, ScalarResultAndComposedError) {
  RustCallStatus status{};
  EXPECT_EQ(uniffi_quorvantile_log_fn_func_test_count_bytes(arg({0, 0, 0, 3, 7, 7, 7}), &status), 3u);
  EXPECT_EQ(status.code, 0);
  uniffi_quorvantile_log_fn_func_test_composed_error(arg({'x'}), &status);
  ASSERT_EQ(status.code, 1);
  const std::string raw = take_text(status.error_buf);
  EXPECT_EQ(raw.substr(8), "opening must be exactly 32 bytes");
}

TEST(Declare, RecordResultIsEncodedInFieldOrder) {
  RustCallStatus status{};
  const RustBuffer out =
      uniffi_quorvantile_log_fn_func_test_head(arg({0, 0, 0, 1, 0, 0, 0, 1, 'o'}), &status);
  ASSERT_EQ(status.code, 0);
  const std::vector<uint8_t> got(out.data, out.data + out.len);
  quorvantile_log::ffi::buffer_release(out);
  const std::vector<uint8_t> want{0, 0, 0, 1, 'o', 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 2, 1, 2, 0, 0, 0, 1, 0, 0, 0, 1, 'o'};
  EXPECT_EQ(got, want);
}

TEST(Declare, DocumentationTextIsPartOfTheChecksum) {
  EXPECT_NE(uniffi_quorvantile_log_checksum_func_test_count_bytes(),
            uniffi_quorvantile_log_checksum_func_test_count_bytes_other_doc());
  const auto& a = UNIFFI_META_QUORVANTILE_LOG_FUNC_TEST_COUNT_BYTES;
  EXPECT_EQ(quorvantile_log::ffi::meta::checksum(a), uniffi_quorvantile_log_checksum_func_test_count_bytes());
  // The record ends with the documentation text, 16-bit little-endian length first.
  const std::string doc = "Counts bytes.";
  ASSERT_GT(a.size(), doc.size() + 2);
  EXPECT_EQ(a[a.size() - doc.size() - 2], doc.size());
  EXPECT_EQ(a[a.size() - doc.size() - 1], 0);
  EXPECT_EQ(std::string(a.end() - static_cast<std::ptrdiff_t>(doc.size()), a.end()), doc);
}

TEST(Declare, ReportUnexpectedWithoutTextSaysUnknownPanic) {
  RustCallStatus status{};
  quorvantile_log::ffi::report_unexpected(&status, "");
  EXPECT_EQ(status.code, 2);
  EXPECT_EQ(take_text(status.error_buf), "Unknown panic!");
}

}  // namespace
