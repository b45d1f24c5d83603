// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The AVX-512 IFMA double-scalar multiplication against the portable one on arbitrary inputs:
// bytes 0-31 are a point encoding (when it does not decode, the point is those bytes taken as a
// scalar times the base point), bytes 32-63 and 64-95 the two scalars as raw 256-bit integers, and
// byte 96 adds one of the eight torsion multiples to the point. Short inputs are padded with zeros.
// Both must give the same group element; on a CPU without IFMA there is nothing to compare.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "ed25519/group.hpp"

namespace ed = quorvantile_crypto::ed25519;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!ed::backend_available(ed::Backend::Ifma)) return 0;
  std::array<uint8_t, 97> in{};
  std::copy_n(data, std::min(size, in.size()), in.begin());
  std::array<uint8_t, 32> encoding;
  ed::Scalar a, b;
  std::copy_n(in.begin(), 32, encoding.begin());
  std::copy_n(in.begin() + 32, 32, a.bytes.begin());
  std::copy_n(in.begin() + 64, 32, b.bytes.begin());

  ed::Scalar from_encoding;
  std::copy_n(encoding.begin(), 32, from_encoding.bytes.begin());
  ed::Point p = ed::decode(encoding).value_or(ed::mul_base(from_encoding));
  // A point of order 8: y = the encoding below, so torsion multiples k T8 reach every small order.
  static constexpr std::array<uint8_t, 32> kOrder8 = {
      0x26, 0xe8, 0x95, 0x8f, 0xc2, 0xb2, 0x27, 0xb0, 0x45, 0xc3, 0xf4, 0x89, 0xf2, 0xef, 0x98, 0xf0,
      0xd5, 0xdf, 0xac, 0x05, 0xd3, 0xc6, 0x33, 0x39, 0xb1, 0x38, 0x02, 0x88, 0x6d, 0x53, 0xfc, 0x05};
  ed::Scalar k{};
  k.bytes[0] = in[96] & 7;
  p = ed::add(p, ed::mul(k, ed::decode(kOrder8).value()));

  const ed::Point portable = ed::double_mul_base_vartime(a, p, b, ed::Backend::Portable);
  const ed::Point ifma = ed::double_mul_base_vartime(a, p, b, ed::Backend::Ifma);
  if (!ed::equal(portable, ifma) || ed::encode(portable) != ed::encode(ifma)) std::abort();
  return 0;
}
