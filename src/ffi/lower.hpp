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
  void u8(uint8_t v) { out_.push_back(v); }
  void u32(uint32_t v);
  void u64(uint64_t v);
  void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
  // A length or count as a signed 32-bit value; beyond that range is an internal failure.
  void count(std::size_t n);
  void string(std::string_view s);
  void bytes(quorvantile_crypto::ByteView b);
  void raw(quorvantile_crypto::ByteView b) { out_.insert(out_.end(), b.begin(), b.end()); }

  RustBuffer finish() const;

 private:
  std::vector<uint8_t> out_;
};

void write(Writer& w, const CheckpointHead& head);
void write(Writer& w, const SearchResult& result);
void write(Writer& w, const PolicyPosture& posture);

// Variant 1 (Verification), then the message as a string.
RustBuffer encode_verify_error(const VerifyError& error);

}  // namespace quorvantile_log::ffi
