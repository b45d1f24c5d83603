// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "coniks/verified_index.hpp"

#include <algorithm>

#include "vrf/vrf.hpp"

namespace quorvantile_log::coniks {

Result<Index> verified_index(const Namespace& ns, quorvantile_crypto::ByteView vrf_public,
                             quorvantile_crypto::ByteView identity, quorvantile_crypto::ByteView vrf_proof) {
  const std::string& name = ns.text();
  quorvantile_crypto::Bytes alpha;
  alpha.reserve(4 + name.size() + identity.size());
  const auto n = static_cast<uint32_t>(name.size());
  for (int shift = 24; shift >= 0; shift -= 8) alpha.push_back(static_cast<uint8_t>(n >> shift));
  alpha.insert(alpha.end(), name.begin(), name.end());
  alpha.insert(alpha.end(), identity.begin(), identity.end());
  auto verified = vrf::Ecvrf{}.verify(vrf_public, alpha, vrf_proof);
  if (!verified) return std::unexpected(std::move(verified.error()));
  if (!verified->has_value()) return std::unexpected(Error::vrf_proof_invalid());
  Index index;
  std::copy_n((*verified)->begin(), index.size(), index.begin());
  return index;
}

}  // namespace quorvantile_log::coniks
