// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// verify_commitment through the C interface: bare length messages, the mismatch message, and
// argument-decoding failures naming the argument.
#include <gtest/gtest.h>

#include <openssl/evp.h>

#include <algorithm>

#include "abi_support.hpp"

namespace qv_abi {
namespace {

Bytes sha3_ctx(const std::string& context, const Bytes& message) {
  // Laid out in one sized buffer (growing inserts trip a false -Warray-bounds in g++ 12 at -O2).
  Bytes in(8 + context.size() + message.size(), 0);
  in[7] = static_cast<uint8_t>(context.size());
  std::copy(context.begin(), context.end(), in.begin() + 8);
  std::copy(message.begin(), message.end(), in.begin() + 8 + static_cast<long>(context.size()));
  Bytes out(64);
  unsigned int len = 0;
  EVP_Digest(in.data(), in.size(), out.data(), &len, EVP_sha3_512(), nullptr);
  return out;
}

std::string call(const std::string& context, const RustBuffer& commitment, const Bytes& value, const Bytes& opening) {
  RustCallStatus status{};
  uniffi_quorvantile_log_fn_func_verify_commitment(string_arg(context), commitment, bytes_arg(value), bytes_arg(opening),
                                                   &status);
  if (status.code == 0) return "ok";
  return std::to_string(status.code) + " " + status_message(status);
}

TEST(CommitmentAbi, VerifyCommitmentOutcomes) {
  const Bytes opening(32, 0x07);
  const Bytes value = {'v', 'a', 'l'};
  Bytes good = opening;
  good.insert(good.end(), value.begin(), value.end());
  good = sha3_ctx("ctx", good);
  Bytes bad = good;
  bad[10] ^= 1;
  EXPECT_EQ(call("ctx", bytes_arg(good), value, opening), "ok");
  EXPECT_EQ(call("ctx", bytes_arg(bad), value, opening), "1 commitment did not open to the claimed value");
  EXPECT_EQ(call("ctx", bytes_arg(Bytes(63)), value, Bytes(3)), "1 commitment must be exactly 64 bytes");
  EXPECT_EQ(call("ctx", bytes_arg(good), value, Bytes(33)), "1 opening must be exactly 32 bytes");
  const std::string lifted = call("ctx", buffer(Bytes{0, 0, 0, 9, 1}), value, opening);
  EXPECT_EQ(lifted.rfind("2 Failed to convert arg 'commitment':\n", 0), 0u) << lifted;
}

}  // namespace
}  // namespace qv_abi
