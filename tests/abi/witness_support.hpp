#pragma once
// A C client's view of the witness component: buffers made and released through its own buffer
// functions, its records decoded from result buffers, and the published fixtures it is tried on.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "quorvantile_witness.h"
#include "test_support.hpp"

namespace qv_witness_abi {

using Bytes = std::vector<uint8_t>;

inline RustBuffer buffer(const Bytes& bytes) {
  RustCallStatus status{};
  return ffi_quorvantile_witness_rustbuffer_from_bytes(ForeignBytes{static_cast<int32_t>(bytes.size()), bytes.data()},
                                                       &status);
}

inline RustBuffer text_arg(std::string_view s) { return buffer(Bytes(s.begin(), s.end())); }

inline void put_u32(Bytes& out, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}

inline RustBuffer bytes_arg(const Bytes& b) {
  Bytes out;
  put_u32(out, static_cast<uint32_t>(b.size()));
  out.insert(out.end(), b.begin(), b.end());
  return buffer(out);
}

inline RustBuffer bytes_list_arg(const std::vector<Bytes>& list) {
  Bytes out;
  put_u32(out, static_cast<uint32_t>(list.size()));
  for (const auto& b : list) {
    put_u32(out, static_cast<uint32_t>(b.size()));
    out.insert(out.end(), b.begin(), b.end());
  }
  return buffer(out);
}

inline Bytes take(RustBuffer buf) {
  Bytes out(buf.data, buf.data + buf.len);
  RustCallStatus status{};
  ffi_quorvantile_witness_rustbuffer_free(buf, &status);
  if (status.code != 0) throw std::runtime_error("rustbuffer_free failed");
  return out;
}

struct Failure {
  int32_t variant;  // the WitnessError variant of code 1, 0 otherwise
  std::string message;
};

// The failure of a non-zero status (the WitnessError of code 1 decoded), releasing the buffer.
inline Failure status_failure(RustCallStatus& status) {
  const Bytes raw = take(status.error_buf);
  status.error_buf = RustBuffer{0, 0, nullptr};
  if (status.code != 1) return {0, std::string(raw.begin(), raw.end())};
  if (raw.size() < 8 || raw[0] != 0 || raw[1] != 0 || raw[2] != 0 || raw[3] < QVW_ERROR_VERIFICATION ||
      raw[3] > QVW_ERROR_MALFORMED_INPUT)
    throw std::runtime_error("not an encoded WitnessError");
  const uint32_t len = uint32_t{raw[4]} << 24 | uint32_t{raw[5]} << 16 | uint32_t{raw[6]} << 8 | raw[7];
  if (raw.size() != 8 + len) throw std::runtime_error("WitnessError length does not match its buffer");
  return {raw[3], std::string(raw.begin() + 8, raw.end())};
}

inline std::string status_message(RustCallStatus& status) { return status_failure(status).message; }

// Decodes a result buffer; every accessor checks that the bytes are there.
class Decoder {
 public:
  explicit Decoder(Bytes bytes) : b_(std::move(bytes)) {}
  uint8_t u8() { return need(1), b_[pos_++]; }
  uint64_t u64() {
    need(8);
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v = v << 8 | b_[pos_++];
    return v;
  }
  std::size_t count() {
    need(4);
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | b_[pos_++];
    if (v > 0x7fffffffu) throw std::runtime_error("negative count");
    return v;
  }
  std::string string() {
    const std::size_t n = count();
    need(n);
    std::string s(b_.begin() + static_cast<std::ptrdiff_t>(pos_), b_.begin() + static_cast<std::ptrdiff_t>(pos_ + n));
    pos_ += n;
    return s;
  }
  Bytes bytes() {
    const std::string s = string();
    return Bytes(s.begin(), s.end());
  }
  std::vector<std::string> strings() {
    std::vector<std::string> out(count());
    for (auto& s : out) s = string();
    return out;
  }
  std::optional<uint64_t> optional_u64() {
    const uint8_t tag = u8();
    if (tag > 1) throw std::runtime_error("bad option tag");
    if (tag == 0) return std::nullopt;
    return u64();
  }
  bool done() const { return pos_ == b_.size(); }

 private:
  void need(std::size_t n) const {
    if (b_.size() - pos_ < n) throw std::runtime_error("result ends early");
  }
  Bytes b_;
  std::size_t pos_ = 0;
};

struct Cosigned {
  std::string origin;
  uint64_t size = 0;
  Bytes root;
  std::vector<std::string> extensions;
  std::string log_key_name;
  std::vector<std::string> counted;
  std::vector<std::pair<std::string, std::string>> rejected;
  std::optional<uint64_t> oldest, newest;
};

inline Cosigned read_cosigned(Decoder& d) {
  Cosigned c;
  c.origin = d.string();
  c.size = d.u64();
  c.root = d.bytes();
  c.extensions = d.strings();
  c.log_key_name = d.string();
  c.counted = d.strings();
  c.rejected.resize(d.count());
  for (auto& [name, reason] : c.rejected) {
    name = d.string();
    reason = d.string();
  }
  c.oldest = d.optional_u64();
  c.newest = d.optional_u64();
  return c;
}

inline std::string witness_vector_text(std::string_view file) {
  return qv_test::read_file(qv_test::vectors_dir() / "c2sp-witness" / file);
}

// The real staging checkpoint with four real witness cosignatures, and its keys.
struct RealCheckpoint {
  std::string note;
  std::string log_vkey;
  std::vector<std::pair<std::string, std::string>> witnesses;  // key name, 0x04 vkey
  uint64_t timestamp = 0;
};

inline RealCheckpoint real_checkpoint() {
  const auto manifest = qv_test::read_json(qv_test::vectors_dir() / "c2sp-witness/real/real-checkpoints.json");
  for (const auto& c : manifest["cases"]) {
    if (c["file"] != "arche2025h1-staging-4-witnesses.checkpoint") continue;
    RealCheckpoint out{witness_vector_text("real/arche2025h1-staging-4-witnesses.checkpoint"), c["log_vkey"], {}, 0};
    for (const auto& line : c["signature_lines"]) {
      if (line["role"] != "witness") continue;
      out.witnesses.emplace_back(line["key_name"], line["witness_vkey_0x04"]);
      out.timestamp = line["timestamp"];
    }
    return out;
  }
  throw std::runtime_error("real checkpoint missing from the manifest");
}

// "log", one "witness wN" line per witness, a group of k of them, and the quorum on the group.
inline std::string k_of_n_policy(const RealCheckpoint& real, std::string_view k) {
  std::string policy = "log " + real.log_vkey + "\n";
  std::string members;
  for (std::size_t i = 0; i < real.witnesses.size(); ++i) {
    policy += "witness w" + std::to_string(i + 1) + " " + real.witnesses[i].second + "\n";
    members += " w" + std::to_string(i + 1);
  }
  return policy + "group g " + std::string(k) + members + "\nquorum g\n";
}

}  // namespace qv_witness_abi
