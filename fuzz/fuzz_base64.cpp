// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The strict base64 decoder against the encoder as an oracle: a text decodes exactly when it is
// the encoding of some bytes, and then to those bytes.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "encoding/base64.hpp"

using quorvantile_log::encoding::base64_decode;
using quorvantile_log::encoding::base64_encode;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto decoded = base64_decode(text);
  if (decoded) {
    if (base64_encode(*decoded) != text) std::abort();
    if (decoded->size() > size / 4 * 3) std::abort();
  }

  const std::string encoded = base64_encode({data, size});
  const auto round_trip = base64_decode(encoded);
  if (!round_trip || *round_trip != std::vector<uint8_t>(data, data + size)) std::abort();
  return 0;
}
