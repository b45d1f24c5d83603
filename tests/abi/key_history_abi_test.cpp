// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The key-history exports through the C interface: argument order, the optional previous hash,
// and the equality of the two entry hashes under the fixed label.
#include <gtest/gtest.h>

#include "abi_support.hpp"

namespace qv_abi {
namespace {

using Prev = std::optional<Bytes>;

RustBuffer optional_arg(const Prev& prev) {
  Bytes enc{static_cast<uint8_t>(prev ? 1 : 0)};
  if (prev) {
    const Bytes b = enc_bytes(*prev);
    enc.insert(enc.end(), b.begin(), b.end());
  }
  return buffer(enc);
}

struct Entry {
  uint64_t seq, ts;
  Bytes x, pq, sig;
  Prev prev;
};

Bytes result(RustBuffer out, RustCallStatus& status) {
  EXPECT_EQ(status.code, 0) << (status.code ? status_message(status) : "");
  const Bytes raw = take(out);
  return raw.size() < 4 ? Bytes{} : Bytes(raw.begin() + 4, raw.end());
}

Bytes canonical(const Entry& e) {
  RustCallStatus s{};
  return result(uniffi_quorvantile_log_fn_func_key_history_v1_canonical_bytes(e.seq, e.ts, bytes_arg(e.x), bytes_arg(e.pq),
                                                                               bytes_arg(e.sig), optional_arg(e.prev), &s),
                s);
}
Bytes entry_hash(const Entry& e) {
  RustCallStatus s{};
  return result(uniffi_quorvantile_log_fn_func_key_history_v1_entry_hash(e.seq, e.ts, bytes_arg(e.x), bytes_arg(e.pq),
                                                                          bytes_arg(e.sig), optional_arg(e.prev), &s),
                s);
}
Bytes with_context(const std::string& context, const Entry& e) {
  RustCallStatus s{};
  return result(uniffi_quorvantile_log_fn_func_key_history_entry_hash_with_context(
                    string_arg(context), e.seq, e.ts, bytes_arg(e.x), bytes_arg(e.pq), bytes_arg(e.sig),
                    optional_arg(e.prev), &s),
                s);
}
Bytes leaf_hash(const Entry& e) {
  RustCallStatus s{};
  return result(uniffi_quorvantile_log_fn_func_key_history_v1_rfc6962_leaf_hash(
                    e.seq, e.ts, bytes_arg(e.x), bytes_arg(e.pq), bytes_arg(e.sig), optional_arg(e.prev), &s),
                s);
}

TEST(KeyHistoryAbi, FieldsInOrderAndGenesisForms) {
  const Entry minimal{1, 2, {}, {}, {}, std::nullopt};
  EXPECT_EQ(canonical(minimal), (Bytes{0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 2,
                                       0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  const Entry full{9, 10, Bytes(32, 0x11), Bytes(1184, 0x22), Bytes(32, 0x33), Bytes(64, 0x44)};
  const Bytes c = canonical(full);
  ASSERT_EQ(c.size(), 36u + 32 + 1184 + 32 + 64);
  EXPECT_EQ(c[24], 0x11);
  EXPECT_EQ(c[28 + 32], 0x22);
  EXPECT_EQ(c.back(), 0x44);
  Entry empty_prev = full;
  empty_prev.prev = Bytes{};
  Entry no_prev = full;
  no_prev.prev = std::nullopt;
  EXPECT_EQ(canonical(empty_prev), canonical(no_prev));
  EXPECT_EQ(leaf_hash(empty_prev), leaf_hash(no_prev));
  EXPECT_EQ(leaf_hash(full).size(), 32u);
  for (const Entry& e : {minimal, full, no_prev}) {
    EXPECT_EQ(entry_hash(e), with_context("tarnfel/key-history/v1", e));
    EXPECT_NE(entry_hash(e), with_context("tarnfel/key-history/v2", e));
  }
}

TEST(KeyHistoryAbi, BadLabelAndBadOptional) {
  RustCallStatus s{};
  uniffi_quorvantile_log_fn_func_key_history_entry_hash_with_context(string_arg("a\tb/c/v1"), 0, 0, bytes_arg({}),
                                                                     bytes_arg({}), bytes_arg({}), optional_arg({}), &s);
  EXPECT_EQ(s.code, 1);
  EXPECT_EQ(status_message(s),
            "malformed canonical leaf: context label segments must be non-empty printable ASCII: \"a\\tb/c/v1\"");
  RustCallStatus s2{};
  uniffi_quorvantile_log_fn_func_key_history_v1_entry_hash(0, 0, bytes_arg({}), bytes_arg({}), bytes_arg({}),
                                                           buffer(Bytes{2}), &s2);
  EXPECT_EQ(s2.code, 2);
  EXPECT_EQ(status_message(s2).rfind("Failed to convert arg 'prev_entry_hash':\n", 0), 0u);
}

}  // namespace
}  // namespace qv_abi
