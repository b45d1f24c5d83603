#pragma once
// Shared by the witness export targets: the input is split into argument buffers, each mostly a
// well-formed library buffer holding the chunk's bytes and sometimes one of the malformed shapes,
// and every outcome is checked to be one the interface allows.
//
// Input layout, per argument: a shape byte, a 16-bit big-endian length, then that many bytes
// (fewer when the input ends). Shapes 0 to 2 are malformed buffers; shape 3 wraps the bytes as an
// encoded sequence<u8>; any other shape passes the bytes as they are.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "quorvantile_witness.h"

namespace qv_witness_fuzz {

struct Input {
  const uint8_t* p;
  size_t n;
  uint8_t byte() {
    if (n == 0) return 0;
    --n;
    return *p++;
  }
  std::vector<uint8_t> chunk() {
    size_t len = byte();
    len = (len << 8) | byte();
    if (len > n) len = n;
    std::vector<uint8_t> out(p, p + len);
    p += len;
    n -= len;
    return out;
  }
};

inline RustBuffer from_bytes(const std::vector<uint8_t>& bytes) {
  RustCallStatus status{};
  RustBuffer buf = ffi_quorvantile_witness_rustbuffer_from_bytes(
      ForeignBytes{static_cast<int32_t>(bytes.size()), bytes.data()}, &status);
  if (status.code != 0) std::abort();
  return buf;
}

inline RustBuffer make_buffer(Input& in) {
  const uint8_t shape = in.byte();
  std::vector<uint8_t> bytes = in.chunk();
  static uint8_t scratch = 0;
  switch (shape % 32) {
    case 0: return RustBuffer{uint64_t{1} + shape, 0, nullptr};
    case 1: return RustBuffer{0, uint64_t{1} + shape, nullptr};
    case 2: return RustBuffer{0, 2, &scratch};
    case 3: {
      const size_t len = bytes.size();
      bytes.insert(bytes.begin(), {static_cast<uint8_t>(len >> 24), static_cast<uint8_t>(len >> 16),
                                   static_cast<uint8_t>(len >> 8), static_cast<uint8_t>(len)});
      return from_bytes(bytes);
    }
    default: return from_bytes(bytes);
  }
}

inline bool starts_with(const RustBuffer& b, std::string_view prefix) {
  return b.len >= prefix.size() && std::memcmp(b.data, prefix.data(), prefix.size()) == 0;
}

// Code 0 with a result (when the export returns one), code 1 with an encoded WitnessError of a
// known variant whose message fills the buffer exactly, or code 2 for an argument the frame refused; anything else is
// a fault. Releases every buffer.
inline void check_and_release(RustCallStatus& status, RustBuffer result, bool returns_record) {
  RustCallStatus s{};
  switch (status.code) {
    case 0:
      if (status.error_buf.data != nullptr || status.error_buf.len != 0) std::abort();
      if (returns_record && result.len == 0) std::abort();
      ffi_quorvantile_witness_rustbuffer_free(result, &s);
      break;
    case 1: {
      const RustBuffer& e = status.error_buf;
      if (result.data != nullptr || result.len != 0 || e.len < 9) std::abort();
      const uint32_t len = uint32_t{e.data[4]} << 24 | uint32_t{e.data[5]} << 16 | uint32_t{e.data[6]} << 8 | e.data[7];
      if (e.data[0] != 0 || e.data[1] != 0 || e.data[2] != 0 || e.data[3] < QVW_ERROR_VERIFICATION ||
          e.data[3] > QVW_ERROR_MALFORMED_INPUT || len + 8 != e.len)
        std::abort();
      ffi_quorvantile_witness_rustbuffer_free(e, &s);
      break;
    }
    case 2:
      if (result.data != nullptr || result.len != 0) std::abort();
      if (!starts_with(status.error_buf, "Failed to convert arg '") && !starts_with(status.error_buf, "null RustBuffer") &&
          !starts_with(status.error_buf, "RustBuffer length exceeds capacity"))
        std::abort();
      ffi_quorvantile_witness_rustbuffer_free(status.error_buf, &s);
      break;
    default:
      std::abort();
  }
  if (s.code != 0) std::abort();
}

}  // namespace qv_witness_fuzz
