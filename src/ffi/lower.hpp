#pragma once
// Encoding of results (and of VerifyError) into fresh library buffers.
#include <string_view>
#include <vector>

#include "error/error.hpp"
#include "ffi/abi.hpp"
#include "quorvantile_crypto/bytes.hpp"
#include "types/records.hpp"

namespace quorvantile_log::ffi {

class Writer {
 public:
  Writer() = default;
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;
  ~Writer();

  // Makes room for `n` more bytes at once (a writer that knows its size allocates exactly once).
  void reserve(std::size_t n);
  void u8(uint8_t v) { raw(quorvantile_crypto::ByteView(&v, 1)); }
  void u32(uint32_t v);
  void u64(uint64_t v);
  void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
  // A length or count as a signed 32-bit value; beyond that range is an internal failure.
  void count(std::size_t n);
  void string(std::string_view s);
  void bytes(quorvantile_crypto::ByteView b);
  void raw(quorvantile_crypto::ByteView b);

  // Hands the written bytes over as a RustBuffer, without a copy; the writer is then empty.
  RustBuffer finish();

 private:
  uint8_t* data_ = nullptr;
  std::size_t len_ = 0;
  std::size_t cap_ = 0;
};

void write(Writer& w, const CheckpointHead& head);
void write(Writer& w, const SearchResult& result);
void write(Writer& w, const PolicyPosture& posture);

// The variant number (1, Verification, for every log library error), then the message as a string.
RustBuffer encode_verify_error(const VerifyError& error);

}  // namespace quorvantile_log::ffi
