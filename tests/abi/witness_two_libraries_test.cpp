// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Both libraries in one process, each opened by a client on its own: neither disturbs the other,
// each releases its own buffers, and they agree on the checkpoint they both verify.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "quorvantile_log.h"
#include "witness_support.hpp"

namespace qv_witness_abi {
namespace {

template <class F>
F symbol(void* lib, const char* name) {
  void* p = dlsym(lib, name);
  if (p == nullptr) throw std::runtime_error(std::string("missing ") + name);
  return reinterpret_cast<F>(p);
}

struct Library {
  explicit Library(const char* path) : handle(dlopen(path, RTLD_NOW | RTLD_LOCAL)) {}
  ~Library() {
    if (handle != nullptr) dlclose(handle);
  }
  void* handle;
};

using FromBytes = RustBuffer (*)(ForeignBytes, RustCallStatus*);
using Free = void (*)(RustBuffer, RustCallStatus*);

RustBuffer make(FromBytes from_bytes, const Bytes& bytes) {
  RustCallStatus s{};
  return from_bytes(ForeignBytes{static_cast<int32_t>(bytes.size()), bytes.data()}, &s);
}

Bytes release(Free free_fn, RustBuffer buf) {
  Bytes out(buf.data, buf.data + buf.len);
  RustCallStatus s{};
  free_fn(buf, &s);
  EXPECT_EQ(s.code, 0);
  return out;
}

TEST(TwoLibraries, BothVerifyTheSameCheckpointInOneProcess) {
  const Library log(QV_LIBRARY_PATH);
  const Library witness(QV_WITNESS_LIBRARY_PATH);
  ASSERT_NE(log.handle, nullptr) << dlerror();
  ASSERT_NE(witness.handle, nullptr) << dlerror();
  const char* const versions[] = {"ffi_quorvantile_log_uniffi_contract_version",
                                  "ffi_quorvantile_witness_uniffi_contract_version"};
  EXPECT_EQ(symbol<uint32_t (*)()>(log.handle, versions[0])(), 30u);
  EXPECT_EQ(symbol<uint32_t (*)()>(witness.handle, versions[1])(), 30u);
  // Neither library resolves the other's names.
  EXPECT_EQ(dlsym(log.handle, versions[1]), nullptr);
  EXPECT_EQ(dlsym(witness.handle, versions[0]), nullptr);

  const auto log_from = symbol<FromBytes>(log.handle, "ffi_quorvantile_log_rustbuffer_from_bytes");
  const auto log_free = symbol<Free>(log.handle, "ffi_quorvantile_log_rustbuffer_free");
  const auto wit_from = symbol<FromBytes>(witness.handle, "ffi_quorvantile_witness_rustbuffer_from_bytes");
  const auto wit_free = symbol<Free>(witness.handle, "ffi_quorvantile_witness_rustbuffer_free");
  const auto checkpoint_verify = symbol<RustBuffer (*)(RustBuffer, RustBuffer, RustCallStatus*)>(
      log.handle, "uniffi_quorvantile_log_fn_func_checkpoint_verify");
  const auto verify_cosigned = symbol<RustBuffer (*)(RustBuffer, RustBuffer, RustCallStatus*)>(
      witness.handle, "uniffi_quorvantile_witness_fn_func_checkpoint_verify_cosigned");

  const RealCheckpoint real = real_checkpoint();
  Bytes vkeys;
  put_u32(vkeys, 1);
  put_u32(vkeys, static_cast<uint32_t>(real.log_vkey.size()));
  vkeys.insert(vkeys.end(), real.log_vkey.begin(), real.log_vkey.end());
  const Bytes note(real.note.begin(), real.note.end());
  const std::string policy = k_of_n_policy(real, "3");

  RustCallStatus ls{}, ws{};
  const RustBuffer head = checkpoint_verify(make(log_from, note), make(log_from, vkeys), &ls);
  const RustBuffer cosigned =
      verify_cosigned(make(wit_from, note), make(wit_from, Bytes(policy.begin(), policy.end())), &ws);
  ASSERT_EQ(ls.code, 0);
  ASSERT_EQ(ws.code, 0);
  const Bytes head_bytes = release(log_free, head);
  const Bytes cosigned_bytes = release(wit_free, cosigned);
  // A CosignedCheckpoint begins with its CheckpointHead, encoded as the log library encodes it.
  ASSERT_GT(cosigned_bytes.size(), head_bytes.size());
  EXPECT_EQ(Bytes(cosigned_bytes.begin(), cosigned_bytes.begin() + static_cast<std::ptrdiff_t>(head_bytes.size())),
            head_bytes);
}

}  // namespace
}  // namespace qv_witness_abi
