// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "quorvantile_crypto/secret.hpp"

#include <openssl/crypto.h>

namespace quorvantile_crypto {

void secure_wipe(void* data, std::size_t len) noexcept {
  if (data != nullptr && len != 0) OPENSSL_cleanse(data, len);
}

}  // namespace quorvantile_crypto
