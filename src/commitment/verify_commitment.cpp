// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "commitment/verify_commitment.hpp"

#include <algorithm>

#include "commitment/commitment.hpp"

namespace quorvantile_log::commitment {

ExportResult<void> verify_commitment(std::string_view context, ByteView commitment, ByteView value,
                                     ByteView opening) {
  if (commitment.size() != kCommitmentSize) return std::unexpected(VerifyError{"commitment must be exactly 64 bytes"});
  if (opening.size() != kOpeningSize) return std::unexpected(VerifyError{"opening must be exactly 32 bytes"});
  const Hash64 recomputed = commit_with_opening(context, value, opening.first<kOpeningSize>());
  if (!std::ranges::equal(recomputed, commitment)) return std::unexpected(VerifyError::from(Error::commitment_mismatch()));
  return {};
}

}  // namespace quorvantile_log::commitment
