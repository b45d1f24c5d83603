#include "ffi/lower.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "ffi/buffer.hpp"

namespace quorvantile_log::ffi {

Writer::~Writer() { std::free(data_); }

void Writer::reserve(std::size_t n) {
  if (n <= cap_ - len_) return;
  if (n > kMaxCapacity - len_) throw UnexpectedFailure{"capacity overflow"};
  const std::size_t want = len_ + n;
  void* grown = std::realloc(data_, want);
  if (grown == nullptr) throw std::bad_alloc();
  data_ = static_cast<uint8_t*>(grown);
  cap_ = want;
}

void Writer::raw(quorvantile_crypto::ByteView b) {
  if (b.empty()) return;
  // Geometric growth for writers that did not reserve; one exact allocation for those that did.
  if (b.size() > cap_ - len_) reserve(std::max(b.size(), cap_ - len_ + std::max<std::size_t>(cap_, 64)));
  std::memcpy(data_ + len_, b.data(), b.size());
  len_ += b.size();
}

RustBuffer Writer::finish() {
  if (len_ == 0) {
    std::free(data_);
    data_ = nullptr;
    cap_ = 0;
    return RustBuffer{0, 0, nullptr};
  }
  const RustBuffer out{cap_, len_, data_};
  data_ = nullptr;
  len_ = cap_ = 0;
  return out;
}

void Writer::u32(uint32_t v) {
  uint8_t b[4];
  for (int i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(v >> (24 - 8 * i));
  raw(quorvantile_crypto::ByteView(b, 4));
}

void Writer::u64(uint64_t v) {
  uint8_t b[8];
  for (int i = 0; i < 8; ++i) b[i] = static_cast<uint8_t>(v >> (56 - 8 * i));
  raw(quorvantile_crypto::ByteView(b, 8));
}

void Writer::count(std::size_t n) {
  if (n > 0x7FFF'FFFFu) throw UnexpectedFailure{"value too large to encode: length exceeds i32::MAX"};
  u32(static_cast<uint32_t>(n));
}

void Writer::string(std::string_view s) {
  count(s.size());
  raw(quorvantile_crypto::as_bytes(s));
}

void Writer::bytes(quorvantile_crypto::ByteView b) {
  count(b.size());
  raw(b);
}


void write(Writer& w, const CheckpointHead& head) {
  std::size_t size = 4 + head.origin.size() + 8 + 4 + head.root.size() + 4;
  for (std::string_view extension : head.extensions) size += 4 + extension.size();
  w.reserve(size);
  w.string(head.origin);
  w.u64(head.size);
  w.bytes(head.root);
  w.count(head.extensions.size());
  for (std::string_view extension : head.extensions) w.string(extension);
}

void write(Writer& w, const SearchResult& result) {
  w.u8(result.present ? 1 : 0);
  if (result.value) {
    w.u8(1);
    w.bytes(*result.value);
  } else {
    w.u8(0);
  }
}

void write(Writer& w, const PolicyPosture& posture) {
  w.string(posture.namespace_);
  w.u32(posture.policy_schema_version);
  w.i32(static_cast<int32_t>(posture.security_level));
  w.i32(static_cast<int32_t>(posture.checkpoint_suite));
  w.i32(static_cast<int32_t>(posture.commitment_hash));
  w.i32(static_cast<int32_t>(posture.vrf_mode));
  w.i32(static_cast<int32_t>(posture.directory_mode));
  w.i32(static_cast<int32_t>(posture.keytrans_suite));
  w.u64(posture.effective_from);
  w.u64(posture.created_at);
  w.bytes(posture.policy_hash);
  w.bytes(posture.rfc6962_leaf_hash);
}

RustBuffer encode_verify_error(const VerifyError& error) {
  Writer w;
  w.i32(error.variant);
  w.string(error.message);
  return w.finish();
}

}  // namespace quorvantile_log::ffi
