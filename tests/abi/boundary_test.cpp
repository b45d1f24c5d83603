// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The C boundary as a client sees it: buffer functions, argument lifting failures, error
// transport, and status handling.
#include <gtest/gtest.h>

#include "abi_support.hpp"

namespace qv_abi {
namespace {

const Bytes kHash(32, 0x5A);

TEST(Buffers, ContractVersion) { EXPECT_EQ(ffi_quorvantile_log_uniffi_contract_version(), 30u); }

TEST(Buffers, AllocFromBytesReserveFree) {
  RustCallStatus status{};
  RustBuffer empty = ffi_quorvantile_log_rustbuffer_alloc(0, &status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(empty.capacity, 0u);
  EXPECT_EQ(empty.len, 0u);
  ffi_quorvantile_log_rustbuffer_free(empty, &status);
  EXPECT_EQ(status.code, 0);

  RustBuffer zeros = ffi_quorvantile_log_rustbuffer_alloc(16, &status);
  EXPECT_EQ(zeros.len, 16u);
  EXPECT_EQ(take(zeros), Bytes(16, 0));

  RustBuffer none = ffi_quorvantile_log_rustbuffer_from_bytes(ForeignBytes{0, nullptr}, &status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(none.len, 0u);
  ffi_quorvantile_log_rustbuffer_free(none, &status);

  const Bytes five{1, 2, 3, 4, 5};
  RustBuffer b = buffer(five);
  EXPECT_EQ(b.capacity, 5u);
  b = ffi_quorvantile_log_rustbuffer_reserve(b, 1, &status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(b.len, 5u);
  EXPECT_EQ(b.capacity, 10u);
  b = ffi_quorvantile_log_rustbuffer_reserve(b, 3, &status);  // fits already
  EXPECT_EQ(b.capacity, 10u);
  b = ffi_quorvantile_log_rustbuffer_reserve(b, 100, &status);
  EXPECT_EQ(b.capacity, 105u);
  EXPECT_EQ(take(b), five);

  RustBuffer small = ffi_quorvantile_log_rustbuffer_reserve(RustBuffer{0, 0, nullptr}, 1, &status);
  EXPECT_EQ(small.capacity, 8u);
  take(small);
}

struct BufferFault {
  const char* what;
  RustBuffer buf;
  std::string message;
};

TEST(Buffers, FaultsAreReportedWithCode2) {
  uint8_t byte = 0;
  const BufferFault faults[] = {
      {"null data with capacity", RustBuffer{4, 0, nullptr}, "null RustBuffer had non-zero capacity"},
      {"null data with capacity and len", RustBuffer{4, 4, nullptr}, "null RustBuffer had non-zero capacity"},
      {"null data with len", RustBuffer{0, 4, nullptr}, "null RustBuffer had non-zero length"},
      {"len beyond capacity", RustBuffer{1, 2, &byte}, "RustBuffer length exceeds capacity"},
  };
  for (const auto& f : faults) {
    RustCallStatus status{};
    ffi_quorvantile_log_rustbuffer_free(f.buf, &status);
    EXPECT_EQ(status.code, 2) << f.what;
    EXPECT_EQ(status_message(status), f.message) << f.what;
    RustCallStatus reserve_status{};
    const RustBuffer r = ffi_quorvantile_log_rustbuffer_reserve(f.buf, 1, &reserve_status);
    EXPECT_EQ(r.data, nullptr);
    EXPECT_EQ(status_message(reserve_status), f.message) << f.what;
    // As an argument of a verification function.
    RustCallStatus call{};
    uniffi_quorvantile_log_fn_func_verify_inclusion(0, 1, f.buf, bytes_list_arg({}), bytes_arg(kHash), &call);
    EXPECT_EQ(call.code, 2);
    EXPECT_EQ(status_message(call), f.message) << f.what;
  }

  const uint8_t data[3] = {1, 2, 3};
  RustCallStatus status{};
  ffi_quorvantile_log_rustbuffer_from_bytes(ForeignBytes{3, nullptr}, &status);
  EXPECT_EQ(status_message(status), "null ForeignBytes had non-zero length");
  status = {};
  ffi_quorvantile_log_rustbuffer_from_bytes(ForeignBytes{-1, data}, &status);
  EXPECT_EQ(status_message(status), "bytes length negative or overflowed: TryFromIntError(())");
  status = {};
  ffi_quorvantile_log_rustbuffer_alloc(uint64_t{1} << 63, &status);
  EXPECT_EQ(status_message(status), "capacity overflow");
  status = {};
  RustBuffer one = buffer({1});
  RustBuffer same = ffi_quorvantile_log_rustbuffer_reserve(one, (uint64_t{1} << 63) - 1, &status);
  EXPECT_EQ(status_message(status), "capacity overflow");
  EXPECT_EQ(same.data, nullptr);
}

struct ArgFailure {
  const char* what;
  Bytes leaf_hash, proof, root;
  std::string message;
};

TEST(Arguments, LiftingFailuresNameTheArgument) {
  const Bytes good_proof = enc_bytes_list({});
  const Bytes good = enc_bytes(kHash);
  const ArgFailure cases[] = {
      {"short sequence", {0, 0, 0, 2, 0xAA}, good_proof, good,
       "Failed to convert arg 'leaf_hash':\nnot enough bytes remaining in buffer (0 < 1)"},
      {"junk", {0, 0, 0, 1, 0xAA, 0xBB}, good_proof, good,
       "Failed to convert arg 'leaf_hash':\njunk data left in buffer after lifting (count: 1)"},
      {"empty buffer", {}, good_proof, good, "Failed to convert arg 'leaf_hash':\nnot enough bytes remaining in buffer (0 < 4)"},
      {"negative count", {0xFF, 0xFF, 0xFF, 0xFF}, good_proof, good,
       "Failed to convert arg 'leaf_hash':\nout of range integral type conversion attempted"},
      {"hostile proof count", good, {0x7F, 0xFF, 0xFF, 0xFF}, good,
       "Failed to convert arg 'proof':\nnot enough bytes remaining in buffer (0 < 4)"},
      {"first failure wins", {}, {}, {}, "Failed to convert arg 'leaf_hash':\nnot enough bytes remaining in buffer (0 < 4)"},
      {"last argument", good, good_proof, {0, 0, 0, 33}, "Failed to convert arg 'root':\nnot enough bytes remaining in buffer (0 < 1)"},
  };
  for (const auto& c : cases) {
    RustCallStatus status{};
    uniffi_quorvantile_log_fn_func_verify_inclusion(0, 1, buffer(c.leaf_hash), buffer(c.proof), buffer(c.root), &status);
    EXPECT_EQ(status.code, 2) << c.what;
    EXPECT_EQ(status_message(status), c.message) << c.what;
  }
}

TEST(Arguments, WorkFailureIsAnEncodedVerifyError) {
  RustCallStatus status{};
  uniffi_quorvantile_log_fn_func_verify_inclusion(0, 2, bytes_arg(kHash), bytes_list_arg({}), bytes_arg(kHash), &status);
  ASSERT_EQ(status.code, 1);
  const Bytes raw = take(status.error_buf);
  const std::string msg = "wrong proof size: got 0, want 1";
  Bytes want{0, 0, 0, 1, 0, 0, 0, static_cast<uint8_t>(msg.size())};
  want.insert(want.end(), msg.begin(), msg.end());
  EXPECT_EQ(raw, want);
}

TEST(Arguments, SuccessLeavesTheStatusUntouched) {
  // A status the caller initialised with recognisable values: the library must not write it.
  uint8_t marker = 0;
  RustCallStatus status{};
  status.code = 0;
  status.error_buf = RustBuffer{0x1111, 0x2222, &marker};
  uniffi_quorvantile_log_fn_func_verify_inclusion(0, 1, bytes_arg(kHash), bytes_list_arg({}), bytes_arg(kHash), &status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(status.error_buf.capacity, 0x1111u);
  EXPECT_EQ(status.error_buf.len, 0x2222u);
  EXPECT_EQ(status.error_buf.data, &marker);

  uniffi_quorvantile_log_fn_func_verify_consistency(1, 1, bytes_list_arg({}), bytes_arg(kHash), bytes_arg(kHash), &status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(status.error_buf.data, &marker);
}

}  // namespace
}  // namespace qv_abi
