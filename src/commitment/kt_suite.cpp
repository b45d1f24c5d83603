// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "commitment/kt_suite.hpp"

#include <array>
#include <string>

#include "commitment/commitment.hpp"
#include "quorvantile_crypto/hmac.hpp"

namespace quorvantile_log {
namespace {

using quorvantile_crypto::Bytes;
using quorvantile_crypto::ByteView;

// The commitment key Kc of the key-transparency protocol's registered cipher suites.
constexpr std::array<uint8_t, 16> kCommitmentKey = {0xd8, 0x21, 0xf8, 0x79, 0x0d, 0x97, 0x70, 0x97,
                                                    0x96, 0xb4, 0xd7, 0x90, 0x33, 0x57, 0xc3, 0xf5};

constexpr std::size_t kMaxLabel = 255;
constexpr uint64_t kMaxValue = 0xFFFFFFFFull;

void put_u32(Bytes& out, uint64_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

}  // namespace

std::string_view KtSuite::name() const {
  switch (value_) {
    case QuorvantileHybridExp:
      return "QuorvantileHybridExp";
    case Kt128Sha256P256:
      return "Kt128Sha256P256";
    case Kt128Sha256Ed25519:
      return "Kt128Sha256Ed25519";
  }
  return {};
}

std::size_t KtSuite::opening_size() const { return value_ == QuorvantileHybridExp ? 32 : 16; }

std::size_t KtSuite::commitment_size() const { return value_ == QuorvantileHybridExp ? 64 : 32; }

Result<Bytes> KtSuite::commit(std::string_view context, ByteView label, uint32_t version, ByteView update_value,
                              ByteView opening) const {
  if (opening.size() != opening_size()) {
    return std::unexpected(Error::malformed_keytrans("commitment opening must be " + std::to_string(opening_size()) +
                                                     " bytes for " + std::string(name()) + ", got " +
                                                     std::to_string(opening.size())));
  }
  if (label.size() > kMaxLabel) {
    return std::unexpected(Error::malformed_keytrans("CommitmentValue.label: " + std::to_string(label.size()) +
                                                     " bytes exceeds the <0..2^8-1> vector bound (255)"));
  }
  if (static_cast<uint64_t>(update_value.size()) > kMaxValue) {
    return std::unexpected(Error::malformed_keytrans("UpdateValue.value: " + std::to_string(update_value.size()) +
                                                     " bytes exceeds the <0..2^32-1> vector bound"));
  }
  // The encoded value apart from the update value's bytes, which are hashed from the caller's memory.
  Bytes head;
  head.reserve(opening.size() + 1 + label.size() + 8);
  const bool on_spec = value_ != QuorvantileHybridExp;
  if (on_spec) head.insert(head.end(), opening.begin(), opening.end());
  head.push_back(static_cast<uint8_t>(label.size()));
  head.insert(head.end(), label.begin(), label.end());
  put_u32(head, version);
  put_u32(head, update_value.size());
  if (on_spec) {
    const auto mac = quorvantile_crypto::hmac_sha256(kCommitmentKey, {head, update_value});
    return Bytes(mac.begin(), mac.end());
  }
  quorvantile_crypto::ContextHash hasher;
  const auto digest = hasher.digest(quorvantile_crypto::as_bytes(context), {opening, head, update_value});
  return Bytes(digest.begin(), digest.end());
}

}  // namespace quorvantile_log
