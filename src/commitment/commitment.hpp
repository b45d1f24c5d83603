// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The general value commitment: SHA3-512 with context over a 32-byte opening followed by the value.
#include <cstddef>
#include <span>
#include <string_view>

#include "quorvantile_crypto/bytes.hpp"
#include "quorvantile_crypto/context_hash.hpp"

namespace quorvantile_log::commitment {

using quorvantile_crypto::ByteView;
using quorvantile_crypto::Hash64;

inline constexpr std::size_t kOpeningSize = 32;
inline constexpr std::size_t kCommitmentSize = 64;

using Opening = std::span<const uint8_t, kOpeningSize>;

// The context text is used unchanged (it may be empty). Never fails.
Hash64 commit_with_opening(std::string_view context, ByteView value, Opening opening);

// The same, hashing with the caller's reused digest context.
Hash64 commit_with_opening(quorvantile_crypto::ContextHash& hasher, std::string_view context, ByteView value,
                           Opening opening);

}  // namespace quorvantile_log::commitment
