// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "suite/tags.hpp"

#include <array>

namespace quorvantile_crypto::tags {
namespace {

constexpr std::array<TagInfo, 6> kTable{{
    {kHybridCat2, Suite::Hybrid, SignatureLevel::Cat2, sizes::kEd25519, sizes::kMlDsa44},
    {kHybridCat3, Suite::Hybrid, SignatureLevel::Cat3, sizes::kEd25519, sizes::kMlDsa65},
    {kHybridCat5, Suite::Hybrid, SignatureLevel::Cat5, sizes::kEd25519, sizes::kMlDsa87},
    {kPureMlDsa87, Suite::PureCnsa2, SignatureLevel::Cat5, sizes::kNone, sizes::kMlDsa87},
    {kEd448MlDsa65, Suite::HybridMatched, SignatureLevel::Cat3, sizes::kEd448, sizes::kMlDsa65},
    {kP521MlDsa87, Suite::HybridMatched, SignatureLevel::Cat5, sizes::kP521, sizes::kMlDsa87},
}};

// The published totals (public key, signature) of each tag.
constexpr bool totals_are(const TagInfo& info, std::size_t public_key, std::size_t signature) {
  return info.public_key_total == public_key && info.signature_total == signature;
}
static_assert(totals_are(kTable[0], 1345, 2485));
static_assert(totals_are(kTable[1], 1985, 3374));
static_assert(totals_are(kTable[2], 2625, 4692));
static_assert(totals_are(kTable[3], 2593, 4628));
static_assert(totals_are(kTable[4], 2010, 3424));
static_assert(totals_are(kTable[5], 2726, 4760));
// Level tags: public key = 1345 + 640 * level index.
static_assert(kTable[1].public_key_total - kTable[0].public_key_total == 640 &&
              kTable[2].public_key_total - kTable[1].public_key_total == 640);

}  // namespace

std::optional<TagInfo> lookup(uint8_t tag) {
  for (const TagInfo& info : kTable) {
    if (info.tag == tag) return info;
  }
  return std::nullopt;
}

bool is_suite_tag(uint8_t tag) { return tag == kPureMlDsa87 || tag == kEd448MlDsa65 || tag == kP521MlDsa87; }

TagInfo level_info(SignatureLevel level) {
  switch (level) {
    case SignatureLevel::Cat2:
      return kTable[0];
    case SignatureLevel::Cat3:
      return kTable[1];
    case SignatureLevel::Cat5:
      return kTable[2];
  }
  return kTable[0];
}

}  // namespace quorvantile_crypto::tags
