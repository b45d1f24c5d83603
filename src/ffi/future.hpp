// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Asynchronous call handles. The library has no asynchronous export, so nothing it exports
// creates a handle; the handle protocol (poll, cancel, complete, free) is implemented all the same
// so that generated bindings find every symbol, and so that asynchronous exports could be added.
// A handle is the address of a shared future object holding a reference count, a scheduler state,
// the wrapped computation and its stored outcome.
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <exception>
#include <optional>
#include <string_view>
#include <variant>

#include "ffi/abi.hpp"

namespace quorvantile_log::ffi::future {

enum PollCode : int8_t { kReady = 0, kWake = 1 };

using Continuation = RustFutureContinuationCallback;

// Scheduler states and transitions; callbacks run after the mutex is released.
class Scheduler {
 public:
  void store(Continuation callback, uint64_t data);
  void wake();
  void cancel();
  bool is_cancelled();

 private:
  enum class State { Empty, Waked, Cancelled, Set };
  std::mutex mutex_;
  State state_ = State::Empty;
  Continuation callback_ = nullptr;
  uint64_t data_ = 0;
};

class FutureBase {
 public:
  virtual ~FutureBase() = default;
  void acquire() { refs_.fetch_add(1, std::memory_order_relaxed); }
  void release() {
    if (refs_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
  }
  Scheduler& scheduler() { return scheduler_; }

  // The wake transition. While a step runs under the future's mutex, a wake is only recorded and
  // applied once the mutex is released, so a continuation never runs with that mutex held.
  void wake();

 protected:
  void begin_step();
  // Ends the step; true when a wake arrived during it.
  bool end_step();

 private:
  std::atomic<std::size_t> refs_{1};  // the handle's own reference
  Scheduler scheduler_;
  std::mutex step_mutex_;
  bool stepping_ = false;
  bool woken_during_step_ = false;
};

// A temporary reference held for the duration of one operation.
class Ref {
 public:
  explicit Ref(FutureBase* f) : f_(f) { f_->acquire(); }
  Ref(const Ref& other) : f_(other.f_) { f_->acquire(); }
  Ref& operator=(const Ref&) = delete;
  ~Ref() { f_->release(); }
  FutureBase* get() const { return f_; }

 private:
  FutureBase* f_;
};

// Handed to the computation; wake() applies the scheduler's wake transition. Keeps the future
// alive while held.
class Waker {
 public:
  explicit Waker(FutureBase* f) : ref_(f) {}
  void wake() const { ref_.get()->wake(); }

 private:
  Ref ref_;
};

// The outcome of a finished computation: a value, or a status code (1 or 2) with an error buffer.
struct ErrorOutcome {
  int8_t code;
  RustBuffer error_buf;
};
template <class T>
using Outcome = std::variant<T, ErrorOutcome>;

template <class T>
using Step = std::function<std::optional<Outcome<T>>(const Waker&)>;

void release_buffer(RustBuffer buf);
// The error buffer of a failed computation: its text ("Unknown panic!" when it has none), or an
// empty buffer when even that cannot be allocated.
RustBuffer failure_buffer(std::string_view message) noexcept;

template <class T>
class Future final : public FutureBase {
 public:
  explicit Future(Step<T> step) : computation_(std::move(step)) {}
  ~Future() override { drop_outcome(); }

  void poll(Continuation callback, uint64_t data) {
    Ref hold(this);
    if (scheduler().is_cancelled()) {
      callback(data, kReady);
      return;
    }
    bool ready;
    bool woken = false;
    {
      std::lock_guard lock(mutex_);
      if (computation_) {
        begin_step();
        step();
        woken = end_step();
      }
      ready = outcome_.index() != kPending;
    }
    if (woken) scheduler().wake();
    if (ready) callback(data, kReady);
    else scheduler().store(callback, data);
  }

  // The stored value (status untouched), the stored error (copied into the status), or code 3
  // when nothing is stored. In every case the outcome is then taken.
  std::optional<T> complete(RustCallStatus* status) {
    Ref hold(this);
    std::lock_guard lock(mutex_);
    std::optional<T> value;
    if (auto* v = std::get_if<kValue>(&outcome_)) {
      value = std::move(*v);
    } else if (auto* e = std::get_if<kError>(&outcome_)) {
      status->code = e->code;
      status->error_buf = e->error_buf;
    } else {
      status->code = QV_CALL_CANCELLED;
      status->error_buf = RustBuffer{0, 0, nullptr};
    }
    outcome_.template emplace<kTaken>();
    computation_ = nullptr;
    return value;
  }

  void free_handle() {
    scheduler().cancel();
    {
      std::lock_guard lock(mutex_);
      computation_ = nullptr;
      drop_outcome();
      outcome_.template emplace<kTaken>();
    }
    release();
  }

 private:
  enum : std::size_t { kPending = 0, kValue = 1, kError = 2, kTaken = 3 };
  struct Taken {};

  // Runs the computation one step (mutex held). A computation that throws has failed: its
  // outcome is status code 2 with the failure's text.
  void step() {
    try {
      Waker waker(this);
      if (auto outcome = computation_(waker)) {
        if (auto* value = std::get_if<0>(&*outcome)) outcome_.template emplace<kValue>(std::move(*value));
        else outcome_.template emplace<kError>(std::get<1>(*outcome));
        computation_ = nullptr;
      }
    } catch (const std::exception& e) {
      fail(e.what());
    } catch (...) {
      fail("");
    }
  }

  void fail(std::string_view message) noexcept {
    outcome_.template emplace<kError>(ErrorOutcome{QV_CALL_UNEXPECTED_ERROR, failure_buffer(message)});
    computation_ = nullptr;
  }

  void drop_outcome() {
    if (auto* e = std::get_if<kError>(&outcome_)) release_buffer(e->error_buf);
    if constexpr (std::is_same_v<T, RustBuffer>) {
      if (auto* v = std::get_if<kValue>(&outcome_)) release_buffer(*v);
    }
    outcome_.template emplace<kPending>();
  }

  std::mutex mutex_;
  Step<T> computation_;
  std::variant<std::monostate, T, ErrorOutcome, Taken> outcome_;
};

// The void kind stores an empty value.
struct Unit {};

// Creates a handle around a computation (internal: only tests and future asynchronous exports).
template <class T>
uint64_t make_handle(Step<T> step) {
  auto* f = new Future<T>(std::move(step));
  return reinterpret_cast<uint64_t>(static_cast<FutureBase*>(f));
}

inline FutureBase* base_of(uint64_t handle) { return reinterpret_cast<FutureBase*>(handle); }

template <class T>
Future<T>* future_of(uint64_t handle) {
  return static_cast<Future<T>*>(base_of(handle));
}

}  // namespace quorvantile_log::ffi::future
