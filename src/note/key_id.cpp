// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "note/key_id.hpp"

#include "quorvantile_crypto/hash.hpp"

namespace quorvantile_log::note {

uint32_t compute_key_id(std::string_view name, quorvantile_crypto::ByteView key_bytes) {
  static constexpr uint8_t kLineFeed[] = {0x0A};
  quorvantile_crypto::Sha256 sha;
  const quorvantile_crypto::Hash32 digest = sha.digest({quorvantile_crypto::as_bytes(name), kLineFeed, key_bytes});
  return uint32_t{digest[0]} << 24 | uint32_t{digest[1]} << 16 | uint32_t{digest[2]} << 8 | digest[3];
}

}  // namespace quorvantile_log::note
