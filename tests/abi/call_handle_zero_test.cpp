// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
//
// Handle 0 through every call-handle function of both libraries: poll, cancel and free do
// nothing (no continuation runs), complete reports status 2 with its message and a zero value.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "quorvantile_log.h"

namespace {

struct Library {
  explicit Library(const char* path) : handle(dlopen(path, RTLD_NOW | RTLD_LOCAL)) {}
  ~Library() {
    if (handle != nullptr) dlclose(handle);
  }
  template <class F>
  F symbol(const std::string& name) const {
    void* p = dlsym(handle, name.c_str());
    if (p == nullptr) throw std::runtime_error("missing " + name);
    return reinterpret_cast<F>(p);
  }
  void* handle;
};

int continuations = 0;
void count_continuation(uint64_t, int8_t) { ++continuations; }

template <class T>
void check_kind(const Library& lib, const std::string& ns, const std::string& kind) {
  SCOPED_TRACE(ns + " " + kind);
  const std::string prefix = "ffi_" + ns + "_rust_future_";
  continuations = 0;
  lib.symbol<void (*)(uint64_t, RustFutureContinuationCallback, uint64_t)>(prefix + "poll_" + kind)(
      0, count_continuation, 7);
  lib.symbol<void (*)(uint64_t)>(prefix + "cancel_" + kind)(0);
  lib.symbol<void (*)(uint64_t)>(prefix + "free_" + kind)(0);
  EXPECT_EQ(continuations, 0);

  RustCallStatus status{};
  if constexpr (std::is_void_v<T>) {
    lib.symbol<void (*)(uint64_t, RustCallStatus*)>(prefix + "complete_" + kind)(0, &status);
  } else {
    const T value = lib.symbol<T (*)(uint64_t, RustCallStatus*)>(prefix + "complete_" + kind)(0, &status);
    if constexpr (std::is_same_v<T, RustBuffer>) {
      EXPECT_EQ(value.data, nullptr);
    } else {
      EXPECT_EQ(value, T{});
    }
  }
  EXPECT_EQ(status.code, 2);
  const std::string message(status.error_buf.data, status.error_buf.data + status.error_buf.len);
  EXPECT_EQ(message, "call handle 0 is not a handle");
  RustCallStatus freed{};
  lib.symbol<void (*)(RustBuffer, RustCallStatus*)>("ffi_" + ns + "_rustbuffer_free")(status.error_buf, &freed);
}

TEST(CallHandleZero, EveryCallHandleFunctionOfBothLibrariesRefusesIt) {
  const std::pair<const char*, const char*> libraries[] = {{QV_LIBRARY_PATH, "quorvantile_log"},
                                                           {QV_WITNESS_LIBRARY_PATH, "quorvantile_witness"}};
  for (const auto& [path, ns] : libraries) {
    const Library lib(path);
    ASSERT_NE(lib.handle, nullptr) << dlerror();
    check_kind<uint8_t>(lib, ns, "u8");
    check_kind<int8_t>(lib, ns, "i8");
    check_kind<uint16_t>(lib, ns, "u16");
    check_kind<int16_t>(lib, ns, "i16");
    check_kind<uint32_t>(lib, ns, "u32");
    check_kind<int32_t>(lib, ns, "i32");
    check_kind<uint64_t>(lib, ns, "u64");
    check_kind<int64_t>(lib, ns, "i64");
    check_kind<float>(lib, ns, "f32");
    check_kind<double>(lib, ns, "f64");
    check_kind<RustBuffer>(lib, ns, "rust_buffer");
    check_kind<void>(lib, ns, "void");
  }
}

}  // namespace
