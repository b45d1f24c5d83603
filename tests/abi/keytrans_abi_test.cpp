// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The key-transparency exports through the C ABI on the bundled proofs: the SearchResult record
// as lowered, the suite identifier, and argument names in conversion failures.
#include <gtest/gtest.h>

#include "abi_support.hpp"
#include "test_support.hpp"

namespace qv_abi {
namespace {

Bytes data(const char* name) {
  const std::string s = qv_test::read_file(qv_test::data_dir() / "keytrans" / name);
  return Bytes(s.begin(), s.end());
}

const std::string kContext = "demo/keytrans/v1";

struct Call {
  RustCallStatus status{};
  Bytes out;
};

Call search(uint16_t suite, const Bytes& label, const Bytes& proof, const Bytes& root = data("keytrans.root")) {
  Call c;
  RustBuffer out = uniffi_quorvantile_log_fn_func_keytrans_verify_search_suite(
      suite, string_arg(kContext), bytes_arg(data("keytrans.vrf_public")), bytes_arg(root), bytes_arg(label),
      bytes_arg(proof), &c.status);
  c.out = take(out);
  return c;
}

Bytes text(std::string_view s) { return Bytes(s.begin(), s.end()); }

TEST(KeytransAbi, SearchResultRecordForPresentAndAbsentLabels) {
  // present = 1, value = Some(9 bytes): "alice" and version 4 as u32.
  Bytes value = text("alice");
  for (int b : {0, 0, 0, 4}) value.push_back(static_cast<uint8_t>(b));
  Bytes want = {1, 1};
  put_i32(want, static_cast<uint32_t>(value.size()));
  want.insert(want.end(), value.begin(), value.end());
  Call present = search(0xF000, text("alice"), data("keytrans_search_alice.proof"));
  ASSERT_EQ(present.status.code, 0) << status_message(present.status);
  EXPECT_EQ(present.out, want);
  RustCallStatus status{};
  RustBuffer out = uniffi_quorvantile_log_fn_func_keytrans_verify_search(
      string_arg(kContext), bytes_arg(data("keytrans.vrf_public")), bytes_arg(data("keytrans.root")),
      bytes_arg(text("mallory")), bytes_arg(data("keytrans_search_mallory.proof")), &status);
  ASSERT_EQ(status.code, 0) << status_message(status);
  EXPECT_EQ(take(out), (Bytes{0, 0}));

  uniffi_quorvantile_log_fn_func_keytrans_verify_monitor(
      string_arg(kContext), bytes_arg(data("keytrans.vrf_public")), bytes_arg(data("keytrans.root")),
      bytes_arg(text("alice")), bytes_arg(data("keytrans_monitor_alice_3.proof")), &status);
  EXPECT_EQ(status.code, 0);
}

TEST(KeytransAbi, FailuresCarryTheirMessages) {
  Call unknown = search(3, text("alice"), data("keytrans_search_alice.proof"));
  EXPECT_EQ(unknown.status.code, 1);
  EXPECT_EQ(status_message(unknown.status), "malformed keytrans structure: unknown keytrans suite id 0x0003");
  Call short_root = search(0xF000, text("alice"), data("keytrans_search_alice.proof"), Bytes(31));
  EXPECT_EQ(status_message(short_root.status), "malformed keytrans structure: combined root must be 32 bytes, got 31");
  Call wrong_label = search(0xF000, text("alicf"), data("keytrans_search_alice.proof"));
  EXPECT_EQ(status_message(wrong_label.status), "vrf proof did not verify against the namespace public key");
  // The default-suite proof read under an on-spec suite's 32-byte commitments.
  Call other_suite = search(0x0002, text("alice"), data("keytrans_search_alice.proof"));
  EXPECT_EQ(other_suite.status.code, 1);
  EXPECT_TRUE(status_message(other_suite.status).starts_with("malformed keytrans structure: "));

  RustCallStatus status{};
  Bytes bad = {0, 0, 0, 9};  // claims 9 bytes, carries none
  RustBuffer out = uniffi_quorvantile_log_fn_func_keytrans_verify_fixed_version_suite(
      0x0001, string_arg(kContext), bytes_arg({}), bytes_arg(Bytes(32)), buffer(bad), bytes_arg({}), &status);
  take(out);
  EXPECT_EQ(status.code, 2);
  EXPECT_TRUE(status_message(status).starts_with("Failed to convert arg 'label':")) ;
}

// One combined root over two log entries: entry 0 holds alice at versions 0..4, entry 1 after
// versions 5 and 6 were added. Search and fixed versions answer for the latest entry only (an
// older entry would report alice's key from before the update as current); monitoring checks
// any entry.
TEST(KeytransAbi, SearchAndFixedVersionAreAboutTheLatestEntry) {
  const std::string stale = "malformed keytrans structure: proof is about log entry 0, not the latest entry 1";
  struct Row {
    const char* proof;
    std::string want;  // "ok" or the failure message
  };
  const Row rows[] = {
      {"search_alice_entry0", stale},     {"search_alice_entry1", "ok"},
      {"fixed_alice_4_entry0", stale},    {"fixed_alice_4_entry1", "ok"},
      {"monitor_alice_4_entry0", "ok"},   {"monitor_alice_4_entry1", "ok"},
  };
  using Verify = RustBuffer (*)(uint16_t, RustBuffer, RustBuffer, RustBuffer, RustBuffer, RustBuffer, RustCallStatus*);
  const auto monitor = [](uint16_t suite, RustBuffer context, RustBuffer vrf, RustBuffer root, RustBuffer label,
                          RustBuffer proof, RustCallStatus* status) {
    uniffi_quorvantile_log_fn_func_keytrans_verify_monitor_suite(suite, context, vrf, root, label, proof, status);
    return RustBuffer{0, 0, nullptr};
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.proof);
    const std::string name = row.proof;
    const Verify verify = name.starts_with("search") ? uniffi_quorvantile_log_fn_func_keytrans_verify_search_suite
                          : name.starts_with("fixed") ? uniffi_quorvantile_log_fn_func_keytrans_verify_fixed_version_suite
                                                      : +monitor;
    RustCallStatus status{};
    const RustBuffer out = verify(0xF000, string_arg(kContext), bytes_arg(data("keytrans.vrf_public")),
                                  bytes_arg(data("keytrans_two_entry.root")), bytes_arg(text("alice")),
                                  bytes_arg(data(("keytrans_two_entry_" + name + ".proof").c_str())), &status);
    const Bytes result = take(out);
    EXPECT_EQ(status.code == 0 ? "ok" : status_message(status), row.want);
    // The accepted search answers with version 6, the latest.
    if (name == "search_alice_entry1") {
      EXPECT_EQ(result.back(), 6);
    }
  }
}

}  // namespace
}  // namespace qv_abi
