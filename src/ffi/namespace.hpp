// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// An interface namespace: what distinguishes one component's boundary from another's. The
// exported symbols carry the namespace in their names (the declaration macros paste it in); the
// description records carry the module path, the namespace record's names and the name of the
// namespace's one error. Every namespace is a struct in `ffi::ns` named like the namespace, so the
// macros can find it from the same token they paste into symbol names.
#include <string_view>

namespace quorvantile_log::ffi::ns {

struct quorvantile_log {
  static constexpr std::string_view name = "quorvantile_log";
  static constexpr std::string_view module_path = "quorvantile_log::ffi";
  static constexpr std::string_view error_name = "VerifyError";
};

}  // namespace quorvantile_log::ffi::ns
