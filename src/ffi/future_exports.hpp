// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The asynchronous call-handle family, exported by every interface namespace under its own
// prefix: QV_FUTURE_EXPORTS(ns) defines ffi_<ns>_rust_future_{poll,cancel,complete,free}_<kind>
// for the twelve return kinds. `cancel` touches only the scheduler, so one function serves every
// kind under twelve names. None of them can unwind into C: each body runs inside a noexcept
// guard; `complete` reports a failure through the caller's status, the others have no channel
// to report one and stop it there. Handle 0 is never a future (no allocation has address 0):
// `complete` refuses it with status 2, the others ignore it, and none of them dereferences it.
#include "ffi/declare.hpp"
#include "ffi/future.hpp"

namespace quorvantile_log::ffi::future_calls {

inline constexpr uint64_t kNoHandle = 0;
inline constexpr std::string_view kNoHandleMessage = "call handle 0 is not a handle";

template <class F>
void contained(F&& body) noexcept {
  try {
    body();
  } catch (...) {
  }
}

inline void cancel(uint64_t handle) noexcept {
  if (handle == kNoHandle) return;
  contained([&] {
    future::Ref hold(future::base_of(handle));
    hold.get()->scheduler().cancel();
  });
}

template <class T>
void poll(uint64_t handle, RustFutureContinuationCallback callback, uint64_t callback_data) noexcept {
  if (handle == kNoHandle) return;
  contained([&] { future::future_of<T>(handle)->poll(callback, callback_data); });
}

template <class T>
T complete(uint64_t handle, RustCallStatus* status) noexcept {
  if (handle == kNoHandle) {
    report_unexpected(status, kNoHandleMessage);
    return T{};
  }
  return guarded(status, [&] { return future::future_of<T>(handle)->complete(status).value_or(T{}); });
}

inline void complete_void(uint64_t handle, RustCallStatus* status) noexcept {
  if (handle == kNoHandle) return report_unexpected(status, kNoHandleMessage);
  guarded(status, [&] { future::future_of<future::Unit>(handle)->complete(status); });
}

template <class T>
void free(uint64_t handle) noexcept {
  if (handle == kNoHandle) return;
  contained([&] { future::future_of<T>(handle)->free_handle(); });
}

}  // namespace quorvantile_log::ffi::future_calls

#define QV_FUTURE_CANCEL_ALIAS(ns_name, kind)                                            \
  extern "C" QV_API void ffi_##ns_name##_rust_future_cancel_##kind(uint64_t handle)      \
      __attribute__((alias("ffi_" #ns_name "_rust_future_cancel_u8")));

// poll, complete and free of one kind whose stored value has the C type T (the value kinds).
#define QV_FUTURE_KIND(ns_name, kind, T)                                                                     \
  extern "C" QV_API void ffi_##ns_name##_rust_future_poll_##kind(                                            \
      uint64_t handle, RustFutureContinuationCallback callback, uint64_t callback_data) {                    \
    ::quorvantile_log::ffi::future_calls::poll<T>(handle, callback, callback_data);                          \
  }                                                                                                          \
  extern "C" QV_API T ffi_##ns_name##_rust_future_complete_##kind(uint64_t handle, RustCallStatus* status) { \
    return ::quorvantile_log::ffi::future_calls::complete<T>(handle, status);                                \
  }                                                                                                          \
  extern "C" QV_API void ffi_##ns_name##_rust_future_free_##kind(uint64_t handle) {                          \
    ::quorvantile_log::ffi::future_calls::free<T>(handle);                                                   \
  }

#define QV_FUTURE_EXPORTS(ns_name)                                                                      \
  extern "C" QV_API void ffi_##ns_name##_rust_future_cancel_u8(uint64_t handle) {                       \
    ::quorvantile_log::ffi::future_calls::cancel(handle);                                               \
  }                                                                                                     \
  QV_FUTURE_CANCEL_ALIAS(ns_name, i8)                                                                   \
  QV_FUTURE_CANCEL_ALIAS(ns_name, u16)                                                                  \
  QV_FUTURE_CANCEL_ALIAS(ns_name, i16)                                                                  \
  QV_FUTURE_CANCEL_ALIAS(ns_name, u32)                                                                  \
  QV_FUTURE_CANCEL_ALIAS(ns_name, i32)                                                                  \
  QV_FUTURE_CANCEL_ALIAS(ns_name, u64)                                                                  \
  QV_FUTURE_CANCEL_ALIAS(ns_name, i64)                                                                  \
  QV_FUTURE_CANCEL_ALIAS(ns_name, f32)                                                                  \
  QV_FUTURE_CANCEL_ALIAS(ns_name, f64)                                                                  \
  QV_FUTURE_CANCEL_ALIAS(ns_name, rust_buffer)                                                          \
  QV_FUTURE_CANCEL_ALIAS(ns_name, void)                                                                 \
  QV_FUTURE_KIND(ns_name, u8, uint8_t)                                                                  \
  QV_FUTURE_KIND(ns_name, i8, int8_t)                                                                   \
  QV_FUTURE_KIND(ns_name, u16, uint16_t)                                                                \
  QV_FUTURE_KIND(ns_name, i16, int16_t)                                                                 \
  QV_FUTURE_KIND(ns_name, u32, uint32_t)                                                                \
  QV_FUTURE_KIND(ns_name, i32, int32_t)                                                                 \
  QV_FUTURE_KIND(ns_name, u64, uint64_t)                                                                \
  QV_FUTURE_KIND(ns_name, i64, int64_t)                                                                 \
  QV_FUTURE_KIND(ns_name, f32, float)                                                                   \
  QV_FUTURE_KIND(ns_name, f64, double)                                                                  \
  QV_FUTURE_KIND(ns_name, rust_buffer, RustBuffer)                                                      \
  extern "C" QV_API void ffi_##ns_name##_rust_future_poll_void(                                         \
      uint64_t handle, RustFutureContinuationCallback callback, uint64_t callback_data) {               \
    ::quorvantile_log::ffi::future_calls::poll<::quorvantile_log::ffi::future::Unit>(handle, callback,  \
                                                                                     callback_data);    \
  }                                                                                                     \
  extern "C" QV_API void ffi_##ns_name##_rust_future_complete_void(uint64_t handle, RustCallStatus* status) { \
    ::quorvantile_log::ffi::future_calls::complete_void(handle, status);                                \
  }                                                                                                     \
  extern "C" QV_API void ffi_##ns_name##_rust_future_free_void(uint64_t handle) {                       \
    ::quorvantile_log::ffi::future_calls::free<::quorvantile_log::ffi::future::Unit>(handle);           \
  }
