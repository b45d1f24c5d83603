#include "ffi/lower.hpp"

#include "ffi/buffer.hpp"

namespace quorvantile_log::ffi {

void Writer::u32(uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out_.push_back(static_cast<uint8_t>(v >> shift));
}

void Writer::u64(uint64_t v) {
  for (int shift = 56; shift >= 0; shift -= 8) out_.push_back(static_cast<uint8_t>(v >> shift));
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

RustBuffer Writer::finish() const { return buffer_from(out_); }

void write(Writer& w, const CheckpointHead& head) {
  w.string(head.origin);
  w.u64(head.size);
  w.bytes(head.root);
  w.count(head.extensions.size());
  for (const auto& extension : head.extensions) w.string(extension);
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
  w.i32(1);
  w.string(error.message);
  return w.finish();
}

}  // namespace quorvantile_log::ffi
