// Drives the two Merkle exports through the C ABI with arbitrary argument bytes, including
// malformed buffers (null data with non-zero fields, len beyond capacity).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "quorvantile_log.h"

namespace {

struct Input {
  const uint8_t* p;
  size_t n;
  uint8_t byte() {
    if (n == 0) return 0;
    --n;
    return *p++;
  }
  uint64_t u64() {
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v = (v << 8) | byte();
    return v;
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

// Mostly well-formed library buffers; sometimes one of the malformed shapes.
RustBuffer make_buffer(Input& in) {
  const uint8_t shape = in.byte();
  const std::vector<uint8_t> bytes = in.chunk();
  static uint8_t scratch = 0;
  switch (shape % 16) {
    case 0: return RustBuffer{uint64_t{1} + shape, 0, nullptr};
    case 1: return RustBuffer{0, uint64_t{1} + shape, nullptr};
    case 2: return RustBuffer{0, 2, &scratch};
    default: break;
  }
  RustCallStatus status{};
  return ffi_quorvantile_log_rustbuffer_from_bytes(ForeignBytes{static_cast<int32_t>(bytes.size()), bytes.data()}, &status);
}

void release(RustCallStatus& status) {
  if (status.code != 0) {
    RustCallStatus s{};
    ffi_quorvantile_log_rustbuffer_free(status.error_buf, &s);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in{data, size};
  const bool consistency = in.byte() & 1;
  const uint64_t a = in.u64() % 1024, b = in.u64();
  RustBuffer b1 = make_buffer(in), b2 = make_buffer(in), b3 = make_buffer(in);
  RustCallStatus status{};
  if (consistency) uniffi_quorvantile_log_fn_func_verify_consistency(a, b % 2048, b1, b2, b3, &status);
  else uniffi_quorvantile_log_fn_func_verify_inclusion(a, b, b1, b2, b3, &status);
  release(status);
  return 0;
}
