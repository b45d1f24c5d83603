#include "suite/tags.hpp"

#include <array>

namespace quorvantile_crypto::tags {
namespace {

constexpr std::array<TagInfo, 6> kTable{{
    {kHybridCat2, Suite::Hybrid, SignatureLevel::Cat2, 1345, 2485},
    {kHybridCat3, Suite::Hybrid, SignatureLevel::Cat3, 1985, 3374},
    {kHybridCat5, Suite::Hybrid, SignatureLevel::Cat5, 2625, 4692},
    {kPureMlDsa87, Suite::PureCnsa2, SignatureLevel::Cat5, 2593, 4628},
    {kEd448MlDsa65, Suite::HybridMatched, SignatureLevel::Cat3, 2010, 3424},
    {kP521MlDsa87, Suite::HybridMatched, SignatureLevel::Cat5, 2726, 4760},
}};

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
