// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The C++ layer's decoding of result buffers: the first byte picks a result type, the rest is the
// buffer. Whatever decodes must encode back to exactly the same bytes (the encoding is canonical),
// and nothing may read out of bounds or over-allocate on a hostile count.
#include <cstdlib>

#include "quorvantile_log.hpp"

namespace {

namespace d = quorvantile_log::detail;

template <class T>
void round_trip(std::span<const uint8_t> bytes) {
  d::Reader r{bytes};
  const auto value = T::read(r);
  if (!r.done()) return;
  d::Writer w;
  if (!d::put<T>(w, value)) std::abort();
  if (w.out.size() != bytes.size() || !std::equal(w.out.begin(), w.out.end(), bytes.begin())) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::span<const uint8_t> rest(data + 1, size - 1);
  switch (data[0] % 8) {
    case 0: round_trip<d::Record<quorvantile_log::CheckpointHead>>(rest); break;
    case 1: round_trip<d::Record<quorvantile_log::SearchResult>>(rest); break;
    case 2: round_trip<d::Record<quorvantile_log::PolicyPosture>>(rest); break;
    case 3: round_trip<d::Bytes>(rest); break;
    case 4: round_trip<d::Sequence<d::Bytes>>(rest); break;
    case 5: round_trip<d::Sequence<d::String>>(rest); break;
    case 6: round_trip<d::Optional<d::Bytes>>(rest); break;
    default: {
      // An error buffer as status code 1 or 2 hands back its message.
      RustCallStatus status{};
      status.code = static_cast<int8_t>(1 + (data[0] >> 7));
      if (!rest.empty()) status.error_buf = d::make_buffer<d::Abi>(rest)->release();
      const auto got = d::finish<d::Abi>(status);
      if (got) std::abort();
    }
  }
  return 0;
}
