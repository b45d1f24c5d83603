// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "ffi/declare.hpp"

namespace quorvantile_log::ffi {

void report_unexpected(RustCallStatus* status, std::string_view message) noexcept {
  if (message.empty()) message = "Unknown panic!";
  try {
    set_unexpected(status, message);
  } catch (...) {
    status->code = QV_CALL_UNEXPECTED_ERROR;
    status->error_buf = RustBuffer{0, 0, nullptr};
  }
}

}  // namespace quorvantile_log::ffi
