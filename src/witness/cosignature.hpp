// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Timestamped cosignatures on checkpoints: the blob after the key id is a big-endian 64-bit
// timestamp and a signature, Ed25519 (type 0x04) over the "cosignature/v1" text message or
// ML-DSA-44 (type 0x06) over the binary "subtree/v1" message of the whole tree.
#include <cstdint>
#include <expected>
#include <string>
#include <string_view>

#include "checkpoint/checkpoint.hpp"
#include "quorvantile_crypto/bytes.hpp"
#include "witness/vkey.hpp"

namespace quorvantile_log::witness {

// The reasons a configured witness's line does not count, in the order they are checked.
inline constexpr std::string_view kReasonLength = "wrong cosignature length";
inline constexpr std::string_view kReasonTimestamp = "timestamp out of range";
inline constexpr std::string_view kReasonExtensions = "extension lines not covered";
inline constexpr std::string_view kReasonOriginLength = "origin too long";
inline constexpr std::string_view kReasonSignature = "invalid signature";

inline constexpr std::size_t kTimestampLength = 8;
inline constexpr std::size_t kEd25519SignatureLength = 64;
inline constexpr std::size_t kMlDsa44SignatureLength = 2420;
inline constexpr uint64_t kMaxTimestamp = (uint64_t{1} << 63) - 1;

// "cosignature/v1\ntime <decimal>\n": the signed message's part before the checkpoint body.
std::string cosignature_v1_header(uint64_t timestamp);

// The header followed by the checkpoint body, extension lines included.
std::string cosignature_v1_message(uint64_t timestamp, std::string_view body);

// "subtree/v1\n\0", the length-prefixed cosigner name, the timestamp, the length-prefixed origin,
// start, end and the subtree hash. Names and origins must be 1 to 255 bytes long.
quorvantile_crypto::Bytes subtree_v1_message(std::string_view cosigner, uint64_t timestamp, std::string_view origin,
                                             uint64_t start, uint64_t end, const quorvantile_crypto::Hash32& hash);

// The timestamp a blob claims before it is checked (0 when the blob is too short to hold one):
// an order in which to try lines, nothing more until the line verifies.
uint64_t claimed_timestamp(quorvantile_crypto::ByteView blob);

// Checks one line's blob (what follows its key id) under a 0x04 or 0x06 key, for the checkpoint
// whose note text is `body`. Returns the timestamp, or the reason the line does not count.
std::expected<uint64_t, std::string_view> check_cosignature(const Vkey& key, const checkpoint::Checkpoint& checkpoint,
                                                            std::string_view body,
                                                            quorvantile_crypto::ByteView blob);

}  // namespace quorvantile_log::witness
