// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Early return of a failed Result inside the key-transparency decoders and checks.

// Binds the value of a Result-returning expression to `var`, or returns its error.
#define KT_TRY_ASSIGN(var, expr)                                                   \
  auto var##_result = (expr);                                                      \
  if (!var##_result) return std::unexpected(std::move(var##_result.error()));      \
  auto var = std::move(*var##_result)

// Returns the error of a Result-returning expression.
#define KT_TRY(expr)                                                               \
  do {                                                                             \
    auto kt_try_result = (expr);                                                   \
    if (!kt_try_result) return std::unexpected(std::move(kt_try_result.error()));  \
  } while (0)
