// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The thread's OpenSSL error queue belongs to the host: every export leaves it exactly as it
// found it, also when the inputs fail inside OpenSSL (Ed448 and P-521 components, note and
// checkpoint parsing, proofs).
#include <gtest/gtest.h>
#include <openssl/err.h>

#include <functional>

#include "abi_support.hpp"
#include "test_support.hpp"

namespace qv_abi {
namespace {

std::vector<std::string> strings(const nlohmann::json& arr) {
  std::vector<std::string> out;
  for (const auto& s : arr) out.push_back(s.get<std::string>());
  return out;
}

// Queues one entry of the host's own, runs the call, and checks that the queue then holds
// exactly that entry. The call must fail (code 1 or 2): a failure is where entries are left.
void expect_queue_kept(const std::string& what, const std::function<int8_t()>& call) {
  ERR_clear_error();
  ERR_raise_data(ERR_LIB_USER, 91, "host entry");
  EXPECT_NE(call(), 0) << what << ": the inputs were meant to fail";
  const unsigned long host = ERR_get_error();
  EXPECT_EQ(ERR_GET_LIB(host), ERR_LIB_USER) << what;
  EXPECT_EQ(ERR_GET_REASON(host), 91) << what;
  EXPECT_EQ(ERR_get_error(), 0u) << what << ": the library added an entry";
}

TEST(OpenSslErrorQueue, EveryExportLeavesTheHostEntry) {
  const auto doc = qv_test::read_json(qv_test::data_dir() / "notes" / "composite_notes.json");
  int failing_in_openssl = 0;
  for (const auto& c : doc["cases"]) {
    const std::string tag = c["tag"];
    if ((tag != "13" && tag != "14") || c["expect"].get<std::string>().rfind("verified", 0) == 0) continue;
    const std::string note = c["note"];
    const auto vkeys = strings(c["vkeys"]);
    const std::string what = tag + " " + c["what"].get<std::string>();
    expect_queue_kept("verify_signed_note " + what, [&] {
      RustCallStatus st{};
      uniffi_quorvantile_log_fn_func_verify_signed_note(string_arg(note), string_list_arg(vkeys), &st);
      const int8_t code = st.code;
      if (code != 0) status_message(st);
      return code;
    });
    expect_queue_kept("checkpoint_verify " + what, [&] {
      RustCallStatus st{};
      take(uniffi_quorvantile_log_fn_func_checkpoint_verify(string_arg(note), string_list_arg(vkeys), &st));
      const int8_t code = st.code;
      if (code != 0) status_message(st);
      return code;
    });
    expect_queue_kept("checkpoint_verify_inclusion " + what, [&] {
      RustCallStatus st{};
      uniffi_quorvantile_log_fn_func_checkpoint_verify_inclusion(string_arg(note), string_list_arg(vkeys), 0,
                                                                 bytes_arg(Bytes(32, 0)), bytes_list_arg({}), &st);
      const int8_t code = st.code;
      if (code != 0) status_message(st);
      return code;
    });
    expect_queue_kept("checkpoint_verify_consistency " + what, [&] {
      RustCallStatus st{};
      uniffi_quorvantile_log_fn_func_checkpoint_verify_consistency(string_arg(note), string_arg(note),
                                                                   string_list_arg(vkeys), bytes_list_arg({}), &st);
      const int8_t code = st.code;
      if (code != 0) status_message(st);
      return code;
    });
    ++failing_in_openssl;
  }
  EXPECT_GE(failing_in_openssl, 10);

  expect_queue_kept("checkpoint_parse", [] {
    RustCallStatus st{};
    take(uniffi_quorvantile_log_fn_func_checkpoint_parse(string_arg("origin\n"), &st));
    const int8_t code = st.code;
    status_message(st);
    return code;
  });
  expect_queue_kept("verify_inclusion", [] {
    RustCallStatus st{};
    uniffi_quorvantile_log_fn_func_verify_inclusion(1, 2, bytes_arg(Bytes(32, 1)), bytes_list_arg({Bytes(32, 2)}),
                                                    bytes_arg(Bytes(32, 3)), &st);
    const int8_t code = st.code;
    status_message(st);
    return code;
  });
  expect_queue_kept("verify_consistency", [] {
    RustCallStatus st{};
    uniffi_quorvantile_log_fn_func_verify_consistency(1, 2, bytes_list_arg({Bytes(32, 2)}), bytes_arg(Bytes(32, 1)),
                                                      bytes_arg(Bytes(32, 3)), &st);
    const int8_t code = st.code;
    status_message(st);
    return code;
  });
}

}  // namespace
}  // namespace qv_abi
