// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// An empty RustBuffer may carry any data pointer; the library must neither read nor free it.
// Every case hands over a pointer into a stack array: were it passed to free(), the process
// would abort (or the sanitizer build would report an invalid free).
#include <gtest/gtest.h>

#include "abi_support.hpp"

namespace qv_abi {
namespace {

TEST(EmptyBuffers, NonNullDataIsNeverFreed) {
  uint8_t stack_bytes[4] = {1, 2, 3, 4};
  const RustBuffer empty{0, 0, stack_bytes};

  RustCallStatus status{};
  ffi_quorvantile_log_rustbuffer_free(empty, &status);
  EXPECT_EQ(status.code, 0);

  struct Reserve {
    uint64_t additional, capacity;
  };
  for (const Reserve r : {Reserve{0, 0}, Reserve{1, 8}, Reserve{20, 20}}) {
    RustCallStatus st{};
    RustBuffer grown = ffi_quorvantile_log_rustbuffer_reserve(empty, r.additional, &st);
    EXPECT_EQ(st.code, 0) << r.additional;
    EXPECT_EQ(grown.len, 0u) << r.additional;
    EXPECT_EQ(grown.capacity, r.capacity) << r.additional;
    if (grown.capacity != 0) {
      EXPECT_NE(grown.data, stack_bytes);
      ffi_quorvantile_log_rustbuffer_free(grown, &st);
      EXPECT_EQ(st.code, 0);
    }
  }
  EXPECT_EQ(stack_bytes[0], 1);  // nothing was written through the pointer either
}

TEST(EmptyBuffers, AsExportArgumentsTheyAreEmptyValues) {
  uint8_t stack_bytes[4] = {0xAA, 0xBB, 0xCC, 0xDD};
  const RustBuffer empty{0, 0, stack_bytes};

  // An empty top-level string reaches the work operation as empty text.
  RustCallStatus status{};
  const RustBuffer head = uniffi_quorvantile_log_fn_func_checkpoint_parse(empty, &status);
  EXPECT_EQ(head.data, nullptr);
  ASSERT_EQ(status.code, 1);
  EXPECT_EQ(status_message(status).rfind("malformed checkpoint: ", 0), 0u);

  // An empty buffer where a sequence is expected fails lifting, and is released like any other
  // argument, as are the arguments after it.
  status = {};
  uniffi_quorvantile_log_fn_func_verify_inclusion(0, 1, empty, empty, bytes_arg(Bytes(32, 1)), &status);
  EXPECT_EQ(status.code, 2);
  EXPECT_EQ(status_message(status), "Failed to convert arg 'leaf_hash':\nnot enough bytes remaining in buffer (0 < 4)");
}

}  // namespace
}  // namespace qv_abi
