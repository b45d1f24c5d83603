// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The asynchronous call-handle family of the quorvantile_log namespace.
#include "ffi/future_exports.hpp"

QV_FUTURE_EXPORTS(quorvantile_log)
