// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "witness/cosignature.hpp"

#include <array>
#include <charconv>
#include <cstring>

#include "quorvantile_crypto/ed25519.hpp"
#include "quorvantile_crypto/mldsa.hpp"

namespace quorvantile_log::witness {
namespace {

constexpr std::string_view kCosignatureHeader = "cosignature/v1\ntime ";
constexpr uint8_t kSubtreeLabel[] = {'s', 'u', 'b', 't', 'r', 'e', 'e', '/', 'v', '1', '\n', 0};

// Writes at a cursor into a buffer sized in advance.
class Writer {
 public:
  explicit Writer(quorvantile_crypto::Bytes& out) : out_(out) {}
  void bytes(const void* data, std::size_t length) {
    std::memcpy(out_.data() + pos_, data, length);
    pos_ += length;
  }
  void u64(uint64_t value) {
    for (int shift = 56; shift >= 0; shift -= 8) out_[pos_++] = static_cast<uint8_t>(value >> shift);
  }
  void short_text(std::string_view text) {
    out_[pos_++] = static_cast<uint8_t>(text.size());
    bytes(text.data(), text.size());
  }

 private:
  quorvantile_crypto::Bytes& out_;
  std::size_t pos_ = 0;
};

uint64_t read_u64(quorvantile_crypto::ByteView bytes) {
  uint64_t value = 0;
  for (std::size_t i = 0; i < kTimestampLength; ++i) value = value << 8 | bytes[i];
  return value;
}

}  // namespace

uint64_t claimed_timestamp(quorvantile_crypto::ByteView blob) {
  return blob.size() < kTimestampLength ? 0 : read_u64(blob);
}

std::string cosignature_v1_header(uint64_t timestamp) {
  char digits[20];
  const auto [end, ec] = std::to_chars(std::begin(digits), std::end(digits), timestamp);
  std::string header;
  header.reserve(kCosignatureHeader.size() + sizeof digits + 1);
  header.append(kCosignatureHeader);
  header.append(digits, end);
  header.push_back('\n');
  return header;
}

std::string cosignature_v1_message(uint64_t timestamp, std::string_view body) {
  return cosignature_v1_header(timestamp).append(body);
}

quorvantile_crypto::Bytes subtree_v1_message(std::string_view cosigner, uint64_t timestamp, std::string_view origin,
                                             uint64_t start, uint64_t end, const quorvantile_crypto::Hash32& hash) {
  quorvantile_crypto::Bytes message(sizeof kSubtreeLabel + 1 + cosigner.size() + 8 + 1 + origin.size() + 16 + hash.size());
  Writer writer(message);
  writer.bytes(kSubtreeLabel, sizeof kSubtreeLabel);
  writer.short_text(cosigner);
  writer.u64(timestamp);
  writer.short_text(origin);
  writer.u64(start);
  writer.u64(end);
  writer.bytes(hash.data(), hash.size());
  return message;
}

std::expected<uint64_t, std::string_view> check_cosignature(const Vkey& key, const checkpoint::Checkpoint& checkpoint,
                                                            std::string_view body,
                                                            quorvantile_crypto::ByteView blob) {
  const bool ed25519 = key.type == kEd25519CosignatureType;
  const std::size_t signature_length = ed25519 ? kEd25519SignatureLength : kMlDsa44SignatureLength;
  if (blob.size() != kTimestampLength + signature_length) return std::unexpected(kReasonLength);
  const uint64_t timestamp = read_u64(blob);
  if (timestamp > kMaxTimestamp) return std::unexpected(kReasonTimestamp);
  const quorvantile_crypto::ByteView signature = blob.subspan(kTimestampLength);

  if (ed25519) {
    const std::string header = cosignature_v1_header(timestamp);
    const std::array<quorvantile_crypto::ByteView, 2> message = {quorvantile_crypto::as_bytes(header),
                                                                 quorvantile_crypto::as_bytes(body)};
    if (!quorvantile_crypto::ed25519::verify_strict_parts(key.key, message, signature)) {
      return std::unexpected(kReasonSignature);
    }
    return timestamp;
  }
  // The ML-DSA-44 message commits to origin, size and root only: extension lines would ride along
  // unsigned, so such a cosignature vouches for less than the checkpoint says.
  if (!checkpoint.extensions.empty()) return std::unexpected(kReasonExtensions);
  if (checkpoint.origin.size() > kMaxEncodedNameLength) return std::unexpected(kReasonOriginLength);
  const quorvantile_crypto::Bytes message =
      subtree_v1_message(key.name, timestamp, checkpoint.origin, 0, checkpoint.size, checkpoint.root);
  if (!quorvantile_crypto::mldsa::verify(quorvantile_crypto::mldsa::ParameterSet::MlDsa44, key.key, message,
                                         signature)) {
    return std::unexpected(kReasonSignature);
  }
  return timestamp;
}

}  // namespace quorvantile_log::witness
