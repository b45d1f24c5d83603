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

// A work error type of another component: reported through its own rendering.
struct ProbeError {
  std::string text;
};
std::expected<quorvantile_log::CheckpointHead, ProbeError> probe_fails(std::string_view text) {
  return std::unexpected(ProbeError{"probe: " + std::string(text)});
}

}  // namespace test_work

// A second interface namespace, declared through the same macro.
namespace quorvantile_log::ffi {
namespace ns {
struct qv_probe {
  static constexpr std::string_view name = "qv_probe";
  static constexpr std::string_view module_path = "qv_probe::ffi";
  static constexpr std::string_view error_name = "ProbeError";
};
}  // namespace ns
template <>
struct ExportedError<test_work::ProbeError> {
  static VerifyError from(const test_work::ProbeError& e) { return {e.text}; }
};
}  // namespace quorvantile_log::ffi

QV_EXPORT_IN(qv_probe, QV_PROBE, test_count_bytes, TEST_COUNT_BYTES, U32, test_work::count_bytes, "Counts bytes.",
             (data, Bytes, "The bytes counted."))
QV_EXPORT_IN(qv_probe, QV_PROBE, probe_fails, PROBE_FAILS, CheckpointHeadResult, test_work::probe_fails, "",
             (text, String, "A text."))

QV_EXPORT(test_throws_text, TEST_THROWS_TEXT, U32, test_work::throws_text, "doc", (x, U64, "A number."))
QV_EXPORT(test_throws_nothing, TEST_THROWS_NOTHING, U32, test_work::throws_nothing_useful, "doc", (x, U64, "A number."))
QV_EXPORT(test_count_bytes, TEST_COUNT_BYTES, U32, test_work::count_bytes, "Counts bytes.", (data, Bytes, "The bytes counted."))
QV_EXPORT(test_count_bytes_other_doc, TEST_COUNT_BYTES_OTHER_DOC, U32, test_work::count_bytes, "Counts bytes!",
          (data, Bytes, "The bytes counted."))
QV_EXPORT(test_composed_error, TEST_COMPOSED_ERROR, Void, test_work::composed_error, "", (text, String, "A text."))
QV_EXPORT(test_head, TEST_HEAD, CheckpointHeadResult, test_work::head, "", (lines, StringList, "The lines."))

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
  // The record ends with the documentation text, 16-bit little-endian length first: the summary,
  // then each argument's text.
  const std::string doc = "Counts bytes.\n\nArguments:\ndata: The bytes counted.";
  ASSERT_GT(a.size(), doc.size() + 2);
  EXPECT_EQ(a[a.size() - doc.size() - 2], doc.size());
  EXPECT_EQ(a[a.size() - doc.size() - 1], 0);
  EXPECT_EQ(std::string(a.end() - static_cast<std::ptrdiff_t>(doc.size()), a.end()), doc);
}

// Reads the short string at `pos` of a record and moves past it.
std::string short_string(const std::vector<uint8_t>& record, std::size_t& pos) {
  const std::size_t len = record.at(pos);
  std::string s(record.begin() + static_cast<std::ptrdiff_t>(pos + 1),
                record.begin() + static_cast<std::ptrdiff_t>(pos + 1 + len));
  pos += 1 + len;
  return s;
}

template <std::size_t N>
std::vector<uint8_t> bytes_of(const std::array<uint8_t, N>& a) {
  return {a.begin(), a.end()};
}

// The same declaration in two namespaces: the module path and the error name follow the
// namespace, and so do the checksums; the rest of the record is the same.
TEST(Declare, NamespaceDecidesModulePathErrorAndChecksum) {
  struct Case {
    std::vector<uint8_t> record;
    uint16_t checksum;
    std::string module, error;
  };
  const Case cases[] = {
      {bytes_of(UNIFFI_META_QUORVANTILE_LOG_FUNC_TEST_COUNT_BYTES), uniffi_quorvantile_log_checksum_func_test_count_bytes(),
       "quorvantile_log::ffi", "VerifyError"},
      {bytes_of(UNIFFI_META_QV_PROBE_FUNC_TEST_COUNT_BYTES), uniffi_qv_probe_checksum_func_test_count_bytes(),
       "qv_probe::ffi", "ProbeError"},
  };
  for (const Case& c : cases) {
    std::size_t pos = 1;
    EXPECT_EQ(short_string(c.record, pos), c.module);
    EXPECT_EQ(short_string(c.record, pos), "test_count_bytes");
    pos += 3;  // async flag, 0x00, argument count
    EXPECT_EQ(short_string(c.record, pos), "data");
    pos += 2 + 2 + 2;  // sequence<u8>, 0x00 0x00, result 0x17 and u32
    ASSERT_EQ(c.record.at(pos++), 0x0E);
    EXPECT_EQ(short_string(c.record, pos), c.module);
    EXPECT_EQ(short_string(c.record, pos), c.error);
    EXPECT_EQ(quorvantile_log::ffi::meta::fold16(quorvantile_log::ffi::meta::fnv1a64(c.record.data(), c.record.size())),
              c.checksum);
  }
  EXPECT_NE(cases[0].checksum, cases[1].checksum);
  RustCallStatus status{};
  EXPECT_EQ(uniffi_qv_probe_fn_func_test_count_bytes(arg({0, 0, 0, 2, 7, 7}), &status), 2u);
  EXPECT_EQ(status.code, 0);
}

TEST(Declare, ComponentErrorIsReportedWithItsOwnRendering) {
  RustCallStatus status{};
  const RustBuffer out = uniffi_qv_probe_fn_func_probe_fails(arg({'x', '"'}), &status);
  EXPECT_EQ(out.len, 0u);
  EXPECT_EQ(out.data, nullptr);
  ASSERT_EQ(status.code, 1);
  const std::string raw = take_text(status.error_buf);
  EXPECT_EQ(raw, std::string("\0\0\0\1\0\0\0\x09", 8) + "probe: x\"");
}

TEST(Declare, ReportUnexpectedWithoutTextSaysUnknownPanic) {
  RustCallStatus status{};
  quorvantile_log::ffi::report_unexpected(&status, "");
  EXPECT_EQ(status.code, 2);
  EXPECT_EQ(take_text(status.error_buf), "Unknown panic!");
}

}  // namespace
