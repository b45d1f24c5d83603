// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The witness component's interface namespace.
#include <string_view>

namespace quorvantile_log::ffi::ns {

struct quorvantile_witness {
  static constexpr std::string_view name = "quorvantile_witness";
  static constexpr std::string_view module_path = "quorvantile_witness::ffi";
  static constexpr std::string_view error_name = "WitnessError";
};

}  // namespace quorvantile_log::ffi::ns
