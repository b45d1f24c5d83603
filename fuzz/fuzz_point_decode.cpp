// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Point decoding: any 32 bytes either fail or decode to a point whose canonical encoding decodes
// to the same point and re-encodes to itself. Inputs of other lengths are cut or padded to 32.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "ed25519/group.hpp"

namespace ed = quorvantile_crypto::ed25519;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::array<uint8_t, 32> bytes{};
  std::copy_n(data, std::min<size_t>(size, 32), bytes.begin());
  const auto p = ed::decode(bytes);
  if (!p) return 0;
  const ed::Encoding once = ed::encode(*p);
  const auto q = ed::decode(once);
  if (!q || !ed::equal(*p, *q)) std::abort();
  if (ed::encode(*q) != once) std::abort();
  // The canonical encoding differs from the input only in y >= p or a sign bit set on x = 0.
  std::array<uint8_t, 32> low = bytes, low_once = once;
  low[31] &= 0x7f;
  low_once[31] &= 0x7f;
  if (low != low_once) {
    const bool y_at_least_p = bytes[0] >= 0xed && std::all_of(bytes.begin() + 1, bytes.end() - 1,
                                                              [](uint8_t b) { return b == 0xff; }) &&
                              (bytes[31] & 0x7f) == 0x7f;
    if (!y_at_least_p) std::abort();
  }
  if (ed::is_small_order(*p) != ed::is_identity(ed::mul_by_cofactor(*p))) std::abort();
  return 0;
}
