// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// A 4-byte big-endian length prefix and the bytes it announces.
#include <cstddef>
#include <string_view>

#include "error/error.hpp"
#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_log::coniks {

struct LpField {
  quorvantile_crypto::ByteView bytes;
  std::size_t next;  // offset just after the field
};

// Reads the length at `offset`, then that many bytes; failures are MalformedConiksProof naming
// the field by `label`.
Result<LpField> read_lp(quorvantile_crypto::ByteView bytes, std::size_t offset, std::string_view label);

}  // namespace quorvantile_log::coniks
