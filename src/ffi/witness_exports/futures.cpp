// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The asynchronous call-handle family of the quorvantile_witness namespace.
#include "quorvantile_witness.h"
#include "ffi/future_exports.hpp"

QV_FUTURE_EXPORTS(quorvantile_witness)
