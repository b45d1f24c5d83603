// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "ffi/buffer.hpp"
#include "ffi/declare.hpp"
#include "ffi/future.hpp"
#include "quorvantile_log.h"

namespace quorvantile_log::ffi::future {
namespace {

// Records every continuation call it receives.
struct Recorder {
  std::atomic<int> ready{0};
  std::atomic<int> wake{0};
};

void record(uint64_t data, int8_t code) {
  auto* r = reinterpret_cast<Recorder*>(data);
  (code == kReady ? r->ready : r->wake).fetch_add(1);
}

uint64_t as_data(Recorder& r) { return reinterpret_cast<uint64_t>(&r); }

// A computation that stays pending until `finish` is set, keeping the latest waker.
struct Controlled {
  std::atomic<bool> finish{false};
  std::optional<Waker> waker;
  std::mutex m;
};

template <class T>
uint64_t pending_handle(Controlled& c, T value) {
  return make_handle<T>([&c, value](const Waker& w) -> std::optional<Outcome<T>> {
    if (c.finish.load()) return Outcome<T>(value);
    std::lock_guard lock(c.m);
    c.waker.emplace(w);
    return std::nullopt;
  });
}

TEST(CallHandle, CompleteOnCancelledHandleReportsCode3) {
  Controlled c;
  const uint64_t h = pending_handle<uint32_t>(c, 7);
  ffi_quorvantile_log_rust_future_cancel_u32(h);
  RustCallStatus status{};
  EXPECT_EQ(ffi_quorvantile_log_rust_future_complete_u32(h, &status), 0u);
  EXPECT_EQ(status.code, QV_CALL_CANCELLED);
  EXPECT_EQ(status.error_buf.len, 0u);
  EXPECT_EQ(status.error_buf.data, nullptr);
  c.waker.reset();
  ffi_quorvantile_log_rust_future_free_u32(h);
}

TEST(CallHandle, CancelInvokesStoredContinuationOnceWithReady) {
  Controlled c;
  Recorder r;
  const uint64_t h = pending_handle<uint8_t>(c, 1);
  ffi_quorvantile_log_rust_future_poll_u8(h, record, as_data(r));
  EXPECT_EQ(r.ready + r.wake, 0);  // stored, not called
  ffi_quorvantile_log_rust_future_cancel_u8(h);
  EXPECT_EQ(r.ready, 1);
  ffi_quorvantile_log_rust_future_cancel_u8(h);  // a second cancel finds nothing stored
  EXPECT_EQ(r.ready, 1);
  EXPECT_EQ(r.wake, 0);
  c.waker.reset();
  ffi_quorvantile_log_rust_future_free_u8(h);
}

TEST(CallHandle, PollAfterCancelIsReadyAtOnce) {
  Controlled c;
  Recorder r;
  const uint64_t h = pending_handle<uint64_t>(c, 1);
  ffi_quorvantile_log_rust_future_cancel_u64(h);
  ffi_quorvantile_log_rust_future_poll_u64(h, record, as_data(r));
  EXPECT_EQ(r.ready, 1);
  ffi_quorvantile_log_rust_future_free_u64(h);
}

TEST(CallHandle, WakeBeforeStoreIsRemembered) {
  Controlled c;
  Recorder r;
  const uint64_t h = pending_handle<int32_t>(c, -3);
  ffi_quorvantile_log_rust_future_poll_i32(h, record, as_data(r));  // stores
  c.waker->wake();                                                  // releases it with "wake"
  EXPECT_EQ(r.wake, 1);
  c.waker->wake();  // nothing stored: remembered
  ffi_quorvantile_log_rust_future_poll_i32(h, record, as_data(r));
  EXPECT_EQ(r.wake, 2);  // answered at once
  c.finish = true;
  ffi_quorvantile_log_rust_future_poll_i32(h, record, as_data(r));
  EXPECT_EQ(r.ready, 1);
  RustCallStatus status{};
  EXPECT_EQ(ffi_quorvantile_log_rust_future_complete_i32(h, &status), -3);
  EXPECT_EQ(status.code, 0);
  // Taken: a second complete reports cancelled.
  EXPECT_EQ(ffi_quorvantile_log_rust_future_complete_i32(h, &status), 0);
  EXPECT_EQ(status.code, QV_CALL_CANCELLED);
  c.waker.reset();
  ffi_quorvantile_log_rust_future_free_i32(h);
}

TEST(CallHandle, SecondStoreReleasesTheFirstWithWake) {
  Controlled c;
  Recorder first, second;
  const uint64_t h = pending_handle<uint16_t>(c, 1);
  ffi_quorvantile_log_rust_future_poll_u16(h, record, as_data(first));
  ffi_quorvantile_log_rust_future_poll_u16(h, record, as_data(second));
  EXPECT_EQ(first.wake, 1);
  EXPECT_EQ(second.wake + second.ready, 0);
  c.waker.reset();
  ffi_quorvantile_log_rust_future_free_u16(h);
  EXPECT_EQ(second.ready, 1);  // free cancels: the stored continuation hears "ready"
}

TEST(CallHandle, ErrorOutcomeIsCopiedIntoStatus) {
  const std::string msg = "boom";
  const uint64_t h = make_handle<RustBuffer>([&](const Waker&) -> std::optional<Outcome<RustBuffer>> {
    return Outcome<RustBuffer>(ErrorOutcome{2, buffer_from(quorvantile_crypto::as_bytes(msg))});
  });
  Recorder r;
  ffi_quorvantile_log_rust_future_poll_rust_buffer(h, record, as_data(r));
  EXPECT_EQ(r.ready, 1);
  RustCallStatus status{};
  const RustBuffer value = ffi_quorvantile_log_rust_future_complete_rust_buffer(h, &status);
  EXPECT_EQ(value.data, nullptr);
  EXPECT_EQ(status.code, 2);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(status.error_buf.data), status.error_buf.len), msg);
  buffer_release(status.error_buf);
  ffi_quorvantile_log_rust_future_free_rust_buffer(h);
}

TEST(CallHandle, FreeReleasesAnUntakenBufferValue) {
  // Leak checkers (ASan) catch a stored value that free forgets.
  const uint64_t h = make_handle<RustBuffer>([](const Waker&) -> std::optional<Outcome<RustBuffer>> {
    const uint8_t bytes[3] = {1, 2, 3};
    return Outcome<RustBuffer>(buffer_from(bytes));
  });
  Recorder r;
  ffi_quorvantile_log_rust_future_poll_rust_buffer(h, record, as_data(r));
  ffi_quorvantile_log_rust_future_free_rust_buffer(h);
  EXPECT_EQ(r.ready, 1);
}

TEST(CallHandle, VoidKind) {
  const uint64_t h = make_handle<Unit>([](const Waker&) -> std::optional<Outcome<Unit>> { return Outcome<Unit>(Unit{}); });
  Recorder r;
  ffi_quorvantile_log_rust_future_poll_void(h, record, as_data(r));
  RustCallStatus status{};
  ffi_quorvantile_log_rust_future_complete_void(h, &status);
  EXPECT_EQ(status.code, 0);
  ffi_quorvantile_log_rust_future_free_void(h);
}

// A computation that wakes itself during its step while a continuation is stored. The stored
// continuation answers the wake by polling again at once, as an inline executor does; that
// re-entry would deadlock were the continuation run under the future's lock.
struct SelfWaking {
  uint64_t handle = 0;
  int steps = 0;
  int reentered_ready = 0;
};

void poll_again(uint64_t data, int8_t code) {
  auto* s = reinterpret_cast<SelfWaking*>(data);
  if (code != kWake) return;
  ffi_quorvantile_log_rust_future_poll_u8(
      s->handle, [](uint64_t d, int8_t c) { reinterpret_cast<SelfWaking*>(d)->reentered_ready += c == kReady; }, data);
}

TEST(CallHandle, WakeDuringAStepRunsTheContinuationOutsideTheLock) {
  SelfWaking s;
  s.handle = make_handle<uint8_t>([&s](const Waker& w) -> std::optional<Outcome<uint8_t>> {
    if (++s.steps == 3) return Outcome<uint8_t>(uint8_t{9});
    if (s.steps == 2) w.wake();
    return std::nullopt;
  });
  const uint64_t data = reinterpret_cast<uint64_t>(&s);
  ffi_quorvantile_log_rust_future_poll_u8(s.handle, poll_again, data);  // step 1: stores
  ffi_quorvantile_log_rust_future_poll_u8(s.handle, poll_again, data);  // step 2 wakes; step 3 finishes
  EXPECT_EQ(s.steps, 3);
  EXPECT_EQ(s.reentered_ready, 1);
  RustCallStatus status{};
  EXPECT_EQ(ffi_quorvantile_log_rust_future_complete_u8(s.handle, &status), 9);
  EXPECT_EQ(status.code, 0);
  ffi_quorvantile_log_rust_future_free_u8(s.handle);
}

// A computation that throws must not unwind through the C functions: its failure becomes the
// handle's outcome, status code 2 with the failure's text.
TEST(CallHandle, ThrowingComputationBecomesCode2) {
  struct Case {
    const char* what;
    std::function<void()> thrower;
    std::string message;
  };
  const Case cases[] = {
      {"std exception", [] { throw std::runtime_error("step failed"); }, "step failed"},
      {"anything else", [] { throw 42; }, "Unknown panic!"},
  };
  for (const auto& c : cases) {
    const uint64_t h = make_handle<RustBuffer>([&c](const Waker&) -> std::optional<Outcome<RustBuffer>> {
      c.thrower();
      return std::nullopt;
    });
    Recorder r;
    ffi_quorvantile_log_rust_future_poll_rust_buffer(h, record, as_data(r));
    EXPECT_EQ(r.ready, 1) << c.what;
    RustCallStatus status{};
    const RustBuffer value = ffi_quorvantile_log_rust_future_complete_rust_buffer(h, &status);
    EXPECT_EQ(value.data, nullptr);
    EXPECT_EQ(status.code, 2) << c.what;
    EXPECT_EQ(std::string(reinterpret_cast<char*>(status.error_buf.data), status.error_buf.len), c.message);
    buffer_release(status.error_buf);
    ffi_quorvantile_log_rust_future_free_rust_buffer(h);
  }
}

// The failure text is owned by the failure: a message composed at the throw site survives the
// unwinding that destroys its source.
TEST(CallHandle, UnexpectedFailureOwnsItsMessage) {
  RustCallStatus status{};
  guarded(&status, [] {
    std::string composed = "composed ";
    composed += std::to_string(12345);
    throw UnexpectedFailure(composed);
  });
  ASSERT_EQ(status.code, 2);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(status.error_buf.data), status.error_buf.len), "composed 12345");
  buffer_release(status.error_buf);
}

// Pollers, wakers, a canceller and a completer race on one handle; every poll must end with a
// continuation call or a stored continuation, nothing may crash or leak, and after cancel every
// poll reports ready.
TEST(CallHandle, ConcurrentPollWakeCancelComplete) {
  for (int round = 0; round < 50; ++round) {
    Controlled c;
    const uint64_t h = pending_handle<uint64_t>(c, 42);
    std::atomic<bool> stop{false};
    Recorder r;
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t)
      threads.emplace_back([&] {
        for (int i = 0; i < 200 && !stop; ++i) ffi_quorvantile_log_rust_future_poll_u64(h, record, as_data(r));
      });
    threads.emplace_back([&] {
      for (int i = 0; i < 200; ++i) {
        std::optional<Waker> w;
        {
          std::lock_guard lock(c.m);
          if (c.waker) w.emplace(*c.waker);
        }
        if (w) w->wake();
      }
    });
    threads.emplace_back([&] {
      if (round % 2 == 0) c.finish = true;
      ffi_quorvantile_log_rust_future_cancel_u64(h);
    });
    for (auto& th : threads) th.join();
    Recorder after;
    ffi_quorvantile_log_rust_future_poll_u64(h, record, as_data(after));
    EXPECT_EQ(after.ready, 1);
    RustCallStatus status{};
    const uint64_t v = ffi_quorvantile_log_rust_future_complete_u64(h, &status);
    EXPECT_TRUE((status.code == 0 && v == 42) || (status.code == QV_CALL_CANCELLED && v == 0));
    {
      std::lock_guard lock(c.m);
      c.waker.reset();
    }
    ffi_quorvantile_log_rust_future_free_u64(h);
  }
}

}  // namespace
}  // namespace quorvantile_log::ffi::future
