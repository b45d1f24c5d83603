// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The library's own strict base64 (RFC 4648 standard alphabet, canonical padding) for signature
// blobs, verifier-key material and checkpoint roots.
#include <string>
#include <string_view>

#include "error/error.hpp"
#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_log::encoding {

using quorvantile_crypto::Bytes;
using quorvantile_crypto::ByteView;

// Decodes canonical padded base64. Failures are MalformedNote errors whose detail names the
// first failing check: length, padding count, then group by group a bad character, too few
// significant characters, or non-zero bits below the last significant character. A "=" is
// accepted only as the padding that ends the text, so every accepted text is the encoding of
// its result.
Result<Bytes> base64_decode(std::string_view text);

// Standard padded base64 of the bytes.
std::string base64_encode(ByteView bytes);

}  // namespace quorvantile_log::encoding
