// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "quorvantile_crypto/sign.hpp"

namespace quorvantile_crypto {

Bytes frame(ByteView context, ByteView message) {
  Bytes out;
  out.reserve(8 + context.size() + message.size());
  const uint64_t len = context.size();
  for (int shift = 56; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(len >> shift));
  out.insert(out.end(), context.begin(), context.end());
  out.insert(out.end(), message.begin(), message.end());
  return out;
}

}  // namespace quorvantile_crypto
