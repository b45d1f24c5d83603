// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// ML-DSA-44/65/87 signature verification (FIPS 204).
#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_crypto::mldsa {

enum class ParameterSet { MlDsa44, MlDsa65, MlDsa87 };

// ML-DSA.Verify, pure variant: the message representative is 0x00, len(context), context, message.
// A context longer than 255 bytes, or a key or signature of the wrong size, gives false.
bool verify(ParameterSet params, ByteView public_key, ByteView message, ByteView signature, ByteView context = {});

// ML-DSA.Verify_internal with the message representative M' given directly.
bool verify_internal(ParameterSet params, ByteView public_key, ByteView message_representative, ByteView signature);

}  // namespace quorvantile_crypto::mldsa
