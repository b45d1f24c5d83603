// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "commitment/commitment.hpp"

namespace quorvantile_log::commitment {

Hash64 commit_with_opening(quorvantile_crypto::ContextHash& hasher, std::string_view context, ByteView value,
                           Opening opening) {
  return hasher.digest(quorvantile_crypto::as_bytes(context), {opening, value});
}

Hash64 commit_with_opening(std::string_view context, ByteView value, Opening opening) {
  quorvantile_crypto::ContextHash hasher;
  return commit_with_opening(hasher, context, value, opening);
}

}  // namespace quorvantile_log::commitment
