// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The hint part of a signature (FIPS 204 HintBitUnpack): omega index bytes followed by k
// cumulative counts. Row i's hinted coefficient indices are bytes counts[i-1] .. counts[i]-1.
#include <cstdint>

#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_crypto::mldsa::detail {

// Checks the encoding exactly as HintBitUnpack does: every count at least the one before it and
// at most omega, indices strictly increasing within a row, and unused index bytes zero.
// `encoded` holds omega + rows bytes.
bool hints_well_formed(ByteView encoded, int omega, int rows);

}  // namespace quorvantile_crypto::mldsa::detail
