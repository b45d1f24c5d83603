// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The work of the verify_commitment export.
#include <string_view>

#include "error/error.hpp"
#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_log::commitment {

// Checks, in order: the commitment is 64 bytes, the opening is 32 bytes (both reported with
// their bare length message), then that the commitment opens to the value under the context.
ExportResult<void> verify_commitment(std::string_view context, quorvantile_crypto::ByteView commitment,
                                     quorvantile_crypto::ByteView value, quorvantile_crypto::ByteView opening);

}  // namespace quorvantile_log::commitment
