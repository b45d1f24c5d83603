// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Buffer management and the contract version of the quorvantile_log namespace.
#include "ffi/buffer_exports.hpp"

QV_BUFFER_EXPORTS(quorvantile_log)
