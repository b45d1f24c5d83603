// The asynchronous call-handle family: poll, cancel, complete and free for each return kind.
// `cancel` touches only the scheduler, so one function serves every kind under twelve names.
// None of them can unwind into C: each body runs inside a noexcept guard; `complete` reports a
// failure through the caller's status, the others have no channel to report one and stop it here.
#include "ffi/declare.hpp"
#include "ffi/future.hpp"

namespace future = quorvantile_log::ffi::future;

namespace {

template <class F>
void contained(F&& body) noexcept {
  try {
    body();
  } catch (...) {
  }
}

}  // namespace

extern "C" QV_API void ffi_quorvantile_log_rust_future_cancel_u8(uint64_t handle) {
  contained([&] {
    future::Ref hold(future::base_of(handle));
    hold.get()->scheduler().cancel();
  });
}

#define QV_CANCEL_ALIAS(kind)                                    \
  extern "C" QV_API void ffi_quorvantile_log_rust_future_cancel_##kind(uint64_t handle) \
      __attribute__((alias("ffi_quorvantile_log_rust_future_cancel_u8")));

QV_CANCEL_ALIAS(i8)
QV_CANCEL_ALIAS(u16)
QV_CANCEL_ALIAS(i16)
QV_CANCEL_ALIAS(u32)
QV_CANCEL_ALIAS(i32)
QV_CANCEL_ALIAS(u64)
QV_CANCEL_ALIAS(i64)
QV_CANCEL_ALIAS(f32)
QV_CANCEL_ALIAS(f64)
QV_CANCEL_ALIAS(rust_buffer)
QV_CANCEL_ALIAS(void)

#define QV_FUTURE_FAMILY(kind, T)                                                                       \
  extern "C" QV_API void ffi_quorvantile_log_rust_future_poll_##kind(                                   \
      uint64_t handle, RustFutureContinuationCallback callback, uint64_t callback_data) {      \
    contained([&] { future::future_of<T>(handle)->poll(callback, callback_data); });                    \
  }                                                                                                     \
  extern "C" QV_API T ffi_quorvantile_log_rust_future_complete_##kind(uint64_t handle,                  \
                                                                      RustCallStatus* status) { \
    return ::quorvantile_log::ffi::guarded(                                                             \
        status, [&] { return future::future_of<T>(handle)->complete(status).value_or(T{}); });          \
  }                                                                                                     \
  extern "C" QV_API void ffi_quorvantile_log_rust_future_free_##kind(uint64_t handle) {        \
    contained([&] { future::future_of<T>(handle)->free_handle(); });                                    \
  }

QV_FUTURE_FAMILY(u8, uint8_t)
QV_FUTURE_FAMILY(i8, int8_t)
QV_FUTURE_FAMILY(u16, uint16_t)
QV_FUTURE_FAMILY(i16, int16_t)
QV_FUTURE_FAMILY(u32, uint32_t)
QV_FUTURE_FAMILY(i32, int32_t)
QV_FUTURE_FAMILY(u64, uint64_t)
QV_FUTURE_FAMILY(i64, int64_t)
QV_FUTURE_FAMILY(f32, float)
QV_FUTURE_FAMILY(f64, double)
QV_FUTURE_FAMILY(rust_buffer, RustBuffer)

extern "C" QV_API void ffi_quorvantile_log_rust_future_poll_void(uint64_t handle,
                                                                 RustFutureContinuationCallback callback,
                                                                 uint64_t callback_data) {
  contained([&] { future::future_of<future::Unit>(handle)->poll(callback, callback_data); });
}

extern "C" QV_API void ffi_quorvantile_log_rust_future_complete_void(uint64_t handle, RustCallStatus* status) {
  ::quorvantile_log::ffi::guarded(status, [&] { future::future_of<future::Unit>(handle)->complete(status); });
}

extern "C" QV_API void ffi_quorvantile_log_rust_future_free_void(uint64_t handle) {
  contained([&] { future::future_of<future::Unit>(handle)->free_handle(); });
}
