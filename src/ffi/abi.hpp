// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Shared by every file of the boundary: the ABI records and the export attribute.
#include "quorvantile_log.h"

#define QV_API __attribute__((visibility("default")))

namespace quorvantile_log::ffi {

inline constexpr uint32_t kContractVersion = 30;

}  // namespace quorvantile_log::ffi
