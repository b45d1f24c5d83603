// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "ffi/future.hpp"

#include "ffi/buffer.hpp"

#include <utility>

namespace quorvantile_log::ffi::future {

void Scheduler::store(Continuation callback, uint64_t data) {
  Continuation previous = nullptr;
  uint64_t previous_data = 0;
  int8_t code_for_new = -1;
  {
    std::lock_guard lock(mutex_);
    switch (state_) {
      case State::Empty:
        state_ = State::Set;
        callback_ = callback;
        data_ = data;
        break;
      case State::Waked:
        state_ = State::Empty;
        code_for_new = kWake;
        break;
      case State::Cancelled:
        code_for_new = kReady;
        break;
      case State::Set:
        previous = callback_;
        previous_data = data_;
        callback_ = callback;
        data_ = data;
        break;
    }
  }
  if (previous != nullptr) previous(previous_data, kWake);
  if (code_for_new >= 0) callback(data, code_for_new);
}

void Scheduler::wake() {
  Continuation pending = nullptr;
  uint64_t pending_data = 0;
  {
    std::lock_guard lock(mutex_);
    switch (state_) {
      case State::Empty:
        state_ = State::Waked;
        break;
      case State::Waked:
      case State::Cancelled:
        break;
      case State::Set:
        pending = callback_;
        pending_data = data_;
        state_ = State::Empty;
        callback_ = nullptr;
        break;
    }
  }
  if (pending != nullptr) pending(pending_data, kWake);
}

void Scheduler::cancel() {
  Continuation pending = nullptr;
  uint64_t pending_data = 0;
  {
    std::lock_guard lock(mutex_);
    if (state_ == State::Set) {
      pending = callback_;
      pending_data = data_;
      callback_ = nullptr;
    }
    state_ = State::Cancelled;
  }
  if (pending != nullptr) pending(pending_data, kReady);
}

bool Scheduler::is_cancelled() {
  std::lock_guard lock(mutex_);
  return state_ == State::Cancelled;
}

void FutureBase::wake() {
  {
    std::lock_guard lock(step_mutex_);
    if (stepping_) {
      woken_during_step_ = true;
      return;
    }
  }
  scheduler_.wake();
}

void FutureBase::begin_step() {
  std::lock_guard lock(step_mutex_);
  stepping_ = true;
}

bool FutureBase::end_step() {
  std::lock_guard lock(step_mutex_);
  stepping_ = false;
  return std::exchange(woken_during_step_, false);
}

void release_buffer(RustBuffer buf) {
  if (!buffer_fault(buf)) buffer_release(buf);
}

RustBuffer failure_buffer(std::string_view message) noexcept {
  if (message.empty()) message = "Unknown panic!";
  try {
    return buffer_from(quorvantile_crypto::as_bytes(message));
  } catch (...) {
    return RustBuffer{0, 0, nullptr};
  }
}

}  // namespace quorvantile_log::ffi::future
