// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Shared machinery of the export fuzz targets: each target declares its export's arguments once
// (name and type, in declaration order) and gets from that declaration
//   - the decoding of a fuzz input into argument values (a typed, length-prefixed format, so
//     libFuzzer's mutations land on fields: integers, byte strings, list elements, tags);
//   - the lowering of those values into the RustBuffers the foreign side passes, well formed or,
//     when an argument's shape byte says so, one of the malformed shapes (null data with non-zero
//     capacity or length, len beyond capacity, truncated or overlong encodings, negative or huge
//     counts, trailing bytes, bad option tags and enum variants);
//   - the check of the call status against the arguments: a call whose arguments are all well
//     formed returns 0 or 1 (never 2), a call with a malformed argument fails with code 2 naming
//     the first malformed argument and the expected reason; every error buffer is decoded and
//     released;
//   - the writing of seed inputs from plain-form calls (a JSON call table) with the same encoder.
//
// Input format, argument by argument:
//   U64/U16/U8     big-endian integer of 8/2/1 bytes
//   buffer types   one shape byte (below 0xE0: well formed; from 0xE0: a malformed shape), then
//                  String/Bytes:       u32 length, bytes
//                  BytesList/StringList: u16 count, then per element u32 length, bytes
//                  OptionalBytes:      tag byte (0: absent), when present u32 length, bytes
//                  CommitmentHash:     i32 variant number
// Lengths and counts are clamped to what is left, and a short input reads as zeros.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "quorvantile_log.h"

namespace qv_fuzz {

using ByteString = std::vector<uint8_t>;

[[noreturn]] inline void fail(const char* what, std::string_view detail = {}) {
  std::fprintf(stderr, "fuzz oracle: %s %.*s\n", what, static_cast<int>(std::min<std::size_t>(detail.size(), 400)),
               detail.data());
  std::abort();
}

inline ByteString text_bytes(std::string_view s) { return ByteString(s.begin(), s.end()); }
inline std::string as_text(std::span<const uint8_t> b) { return std::string(b.begin(), b.end()); }

// --- the fuzz input ---------------------------------------------------------------------------

class Input {
 public:
  Input(const uint8_t* data, std::size_t size) : p_(data), n_(size) {}
  uint8_t byte() {
    if (n_ == 0) return 0;
    --n_;
    return *p_++;
  }
  uint64_t be(int width) {
    uint64_t v = 0;
    for (int i = 0; i < width; ++i) v = v << 8 | byte();
    return v;
  }
  ByteString chunk(std::size_t len) {
    len = std::min(len, n_);
    ByteString out(p_, p_ + len);
    p_ += len;
    n_ -= len;
    return out;
  }
  std::size_t left() const { return n_; }

 private:
  const uint8_t* p_;
  std::size_t n_;
};

inline void put_be(ByteString& out, uint64_t v, int width) {
  for (int s = 8 * (width - 1); s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}

// --- argument declarations and values ----------------------------------------------------------

enum class Type { U64, U16, U8, String, Bytes, BytesList, StringList, OptionalBytes, CommitmentHash };

struct Param {
  const char* name;
  Type type;
};

inline bool buffer_carried(Type t) { return t != Type::U64 && t != Type::U16 && t != Type::U8; }
inline bool serialized(Type t) { return buffer_carried(t) && t != Type::String; }

constexpr uint8_t kMalformedShapes = 0xE0;

struct Value {
  uint64_t integer = 0;
  uint8_t shape = 0;
  ByteString bytes;              // String, Bytes, OptionalBytes (when present)
  std::vector<ByteString> list;  // BytesList, StringList
  bool present = false;      // OptionalBytes
  int32_t variant = 0;       // CommitmentHash
};

inline Value decode_value(Input& in, Type t) {
  Value v;
  switch (t) {
    case Type::U64: v.integer = in.be(8); return v;
    case Type::U16: v.integer = in.be(2); return v;
    case Type::U8: v.integer = in.byte(); return v;
    default: break;
  }
  v.shape = in.byte();
  switch (t) {
    case Type::String:
    case Type::Bytes: v.bytes = in.chunk(in.be(4)); break;
    case Type::BytesList:
    case Type::StringList:
      for (std::size_t count = in.be(2); count > 0 && in.left() > 0; --count) v.list.push_back(in.chunk(in.be(4)));
      break;
    case Type::OptionalBytes:
      v.present = in.byte() != 0;
      if (v.present) v.bytes = in.chunk(in.be(4));
      break;
    case Type::CommitmentHash: v.variant = static_cast<int32_t>(in.be(4)); break;
    default: break;
  }
  return v;
}

inline void encode_value(ByteString& out, Type t, const Value& v) {
  switch (t) {
    case Type::U64: put_be(out, v.integer, 8); return;
    case Type::U16: put_be(out, v.integer, 2); return;
    case Type::U8: put_be(out, v.integer, 1); return;
    default: break;
  }
  out.push_back(v.shape);
  auto chunk = [&](const ByteString& b) {
    put_be(out, b.size(), 4);
    out.insert(out.end(), b.begin(), b.end());
  };
  switch (t) {
    case Type::String:
    case Type::Bytes: chunk(v.bytes); break;
    case Type::BytesList:
    case Type::StringList:
      put_be(out, v.list.size(), 2);
      for (const ByteString& e : v.list) chunk(e);
      break;
    case Type::OptionalBytes:
      out.push_back(v.present ? 1 : 0);
      if (v.present) chunk(v.bytes);
      break;
    case Type::CommitmentHash: put_be(out, static_cast<uint32_t>(v.variant), 4); break;
    default: break;
  }
}

// The plain form of the call table: integers as numbers, bytes as hex, text as strings, lists as
// arrays, optionals as null or the value, enumerations as variant numbers.
inline ByteString from_hex(std::string_view hex) {
  ByteString out(hex.size() / 2);
  auto nibble = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
  for (std::size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<uint8_t>(nibble(hex[2 * i]) << 4 | nibble(hex[2 * i + 1]));
  return out;
}

inline Value plain_value(const nlohmann::json& j, Type t) {
  Value v;
  switch (t) {
    case Type::U64:
    case Type::U16:
    case Type::U8: v.integer = j.get<uint64_t>(); break;
    case Type::String: v.bytes = text_bytes(j.get<std::string>()); break;
    case Type::Bytes: v.bytes = from_hex(j.get<std::string>()); break;
    case Type::BytesList:
      for (const auto& e : j) v.list.push_back(from_hex(e.get<std::string>()));
      break;
    case Type::StringList:
      for (const auto& e : j) v.list.push_back(text_bytes(e.get<std::string>()));
      break;
    case Type::OptionalBytes:
      v.present = !j.is_null();
      if (v.present) v.bytes = from_hex(j.get<std::string>());
      break;
    case Type::CommitmentHash: v.variant = j.get<int32_t>(); break;
  }
  return v;
}

// --- UTF-8, judged independently of the library ------------------------------------------------

struct Utf8Verdict {
  bool valid = true;
  std::size_t valid_up_to = 0;
  std::size_t invalid_length = 0;  // 0: the text ends inside a sequence
};

inline Utf8Verdict check_utf8(std::span<const uint8_t> s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const uint8_t b = s[i];
    std::size_t need = 0;
    uint8_t lo = 0x80, hi = 0xBF;
    if (b < 0x80) {
      ++i;
      continue;
    } else if (b >= 0xC2 && b <= 0xDF) {
      need = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
      need = 2;
      if (b == 0xE0) lo = 0xA0;
      if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      need = 3;
      if (b == 0xF0) lo = 0x90;
      if (b == 0xF4) hi = 0x8F;
    } else {
      return {false, i, 1};
    }
    for (std::size_t k = 1; k <= need; ++k) {
      if (i + k >= s.size()) return {false, i, 0};
      const uint8_t c = s[i + k];
      const uint8_t l = k == 1 ? lo : 0x80, h = k == 1 ? hi : 0xBF;
      if (c < l || c > h) return {false, i, k};
    }
    i += need + 1;
  }
  return {true, s.size(), 0};
}

// --- lowering ----------------------------------------------------------------------------------

inline RustBuffer library_buffer(std::span<const uint8_t> b) {
  RustCallStatus s{};
  RustBuffer out = ffi_quorvantile_log_rustbuffer_from_bytes(
      ForeignBytes{static_cast<int32_t>(b.size()), b.empty() ? nullptr : b.data()}, &s);
  if (s.code != 0) fail("rustbuffer_from_bytes failed");
  return out;
}

inline void free_buffer(RustBuffer b) {
  RustCallStatus s{};
  ffi_quorvantile_log_rustbuffer_free(b, &s);
  if (s.code != 0) fail("rustbuffer_free failed on a library buffer");
}

inline void put_i32(ByteString& out, std::size_t v) { put_be(out, v, 4); }

inline ByteString serialize(Type t, const Value& v) {
  ByteString out;
  switch (t) {
    case Type::String: return v.bytes;
    case Type::Bytes:
      put_i32(out, v.bytes.size());
      out.insert(out.end(), v.bytes.begin(), v.bytes.end());
      break;
    case Type::BytesList:
    case Type::StringList:
      put_i32(out, v.list.size());
      for (const ByteString& e : v.list) {
        put_i32(out, e.size());
        out.insert(out.end(), e.begin(), e.end());
      }
      break;
    case Type::OptionalBytes:
      out.push_back(v.present ? 1 : 0);
      if (v.present) {
        put_i32(out, v.bytes.size());
        out.insert(out.end(), v.bytes.begin(), v.bytes.end());
      }
      break;
    case Type::CommitmentHash: put_be(out, static_cast<uint32_t>(v.variant), 4); break;
    default: break;
  }
  return out;
}

// What the library must say about an argument: nothing (well formed), or status 2 with a message
// that is `message` exactly (a buffer fault) or starts with "Failed to convert arg '<name>':\n"
// followed by `reason` (exactly, or as a prefix when `reason_is_prefix`).
struct Expectation {
  bool malformed = false;
  bool buffer_fault = false;
  std::string reason;
  bool reason_is_prefix = false;
};

struct Lowered {
  RustBuffer buf{};
  Expectation expect;
  // A buffer the library refuses as malformed stays the caller's: the allocation behind a
  // len-beyond-capacity buffer, released after the call.
  std::optional<RustBuffer> caller_keeps;
};

inline Expectation decode_failure(std::string reason, bool prefix) { return {true, false, std::move(reason), prefix}; }

inline const std::string kNotEnough = "not enough bytes remaining in buffer (";

// The malformed shapes that apply to a type, picked by the shape byte.
enum class Shape { NullWithCapacity, NullWithLength, LenBeyondCapacity, Truncated, Junk, OverlongCount,
                   NegativeCount, HugeCount, OverlongLastElement, BadTag, BadVariant };

inline std::vector<Shape> shapes_of(Type t) {
  using enum Shape;
  switch (t) {
    case Type::String: return {NullWithCapacity, NullWithLength, LenBeyondCapacity};
    case Type::OptionalBytes: return {NullWithCapacity, NullWithLength, LenBeyondCapacity, Truncated, Junk, BadTag};
    case Type::CommitmentHash:
      return {NullWithCapacity, NullWithLength, LenBeyondCapacity, Truncated, Junk, BadVariant};
    case Type::BytesList:
    case Type::StringList:
      return {NullWithCapacity, NullWithLength, LenBeyondCapacity, Truncated,          Junk,
              OverlongCount,    NegativeCount,  HugeCount,         OverlongLastElement};
    default:
      return {NullWithCapacity, NullWithLength, LenBeyondCapacity, Truncated, Junk, OverlongCount, NegativeCount,
              HugeCount};
  }
}

inline void set_count(ByteString& raw, std::size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) raw[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

inline uint32_t get_count(const ByteString& raw, std::size_t at) {
  return uint32_t{raw[at]} << 24 | uint32_t{raw[at + 1]} << 16 | uint32_t{raw[at + 2]} << 8 | raw[at + 3];
}

inline Lowered lower(Type t, const Value& v) {
  ByteString raw = serialize(t, v);
  Lowered out;
  if (v.shape < kMalformedShapes) {
    if (t == Type::StringList) {
      for (const ByteString& e : v.list) {
        const Utf8Verdict u = check_utf8(e);
        if (u.valid) continue;
        out.expect = u.invalid_length == 0
                         ? decode_failure("incomplete utf-8 byte sequence from index " + std::to_string(u.valid_up_to), false)
                         : decode_failure("invalid utf-8 sequence of " + std::to_string(u.invalid_length) +
                                              " bytes from index " + std::to_string(u.valid_up_to),
                                          false);
        break;
      }
    }
    if (t == Type::CommitmentHash && (v.variant < 1 || v.variant > 2))
      out.expect = decode_failure("Invalid CommitmentHash enum value: " + std::to_string(v.variant), false);
    out.buf = library_buffer(raw);
    return out;
  }
  const std::vector<Shape> shapes = shapes_of(t);
  const uint8_t k = static_cast<uint8_t>(v.shape - kMalformedShapes);
  const Shape shape = shapes[k % shapes.size()];
  const std::size_t amount = 1 + k / shapes.size();  // 1 or 2 or 3
  switch (shape) {
    case Shape::NullWithCapacity:
      out.buf = RustBuffer{amount, raw.size(), nullptr};
      out.expect = {true, true, "null RustBuffer had non-zero capacity", false};
      return out;
    case Shape::NullWithLength:
      out.buf = RustBuffer{0, raw.size() + amount, nullptr};
      out.expect = {true, true, "null RustBuffer had non-zero length", false};
      return out;
    case Shape::LenBeyondCapacity: {
      RustCallStatus s{};
      out.buf = raw.empty() ? ffi_quorvantile_log_rustbuffer_alloc(1, &s) : library_buffer(raw);
      out.caller_keeps = out.buf;
      out.buf.len = out.buf.capacity + amount;
      out.expect = {true, true, "RustBuffer length exceeds capacity", false};
      return out;
    }
    case Shape::Truncated:
      raw.resize(raw.size() - std::min(raw.size(), amount));
      out.expect = decode_failure(kNotEnough, true);
      break;
    case Shape::Junk:
      raw.insert(raw.end(), amount, 0xA5);
      out.expect = decode_failure("junk data left in buffer after lifting (count: " + std::to_string(amount) + ")", false);
      if (t == Type::CommitmentHash && (v.variant < 1 || v.variant > 2))
        out.expect = decode_failure("Invalid CommitmentHash enum value: " + std::to_string(v.variant), false);
      break;
    case Shape::OverlongCount:
      set_count(raw, 0, get_count(raw, 0) + static_cast<uint32_t>(amount));
      out.expect = decode_failure(kNotEnough, true);
      break;
    case Shape::NegativeCount:
      set_count(raw, 0, get_count(raw, 0) | 0x80000000u);
      out.expect = decode_failure("out of range integral type conversion attempted", false);
      break;
    case Shape::HugeCount:
      set_count(raw, 0, 0x7FFFFFFFu);
      out.expect = decode_failure(kNotEnough, true);
      break;
    case Shape::OverlongLastElement:
      if (v.list.empty()) {
        set_count(raw, 0, 1);  // one element announced, none there
      } else {
        const std::size_t at = raw.size() - v.list.back().size() - 4;
        set_count(raw, at, get_count(raw, at) + static_cast<uint32_t>(amount));
      }
      out.expect = decode_failure(kNotEnough, true);
      break;
    case Shape::BadTag:
      raw[0] = static_cast<uint8_t>(2 + v.shape % 200);
      out.expect = decode_failure("unexpected tag byte for Option", false);
      break;
    case Shape::BadVariant: {
      const int32_t bad = amount == 1 ? 0 : (amount == 2 ? 3 : -1);
      set_count(raw, 0, static_cast<uint32_t>(bad));
      out.expect = decode_failure("Invalid CommitmentHash enum value: " + std::to_string(bad), false);
      break;
    }
  }
  // A string list whose elements are not text fails on them before any later count problem only
  // when that element comes first; the shapes above change counts or the end, so an invalid
  // element makes the reason one of two: accept the UTF-8 one as well.
  if (t == Type::StringList) {
    for (const ByteString& e : v.list) {
      if (!check_utf8(e).valid) {
        out.expect.reason = "";
        out.expect.reason_is_prefix = true;
        break;
      }
    }
  }
  out.buf = library_buffer(raw);
  return out;
}

// --- returned values ---------------------------------------------------------------------------

// Reads the encoded result of a call; any read past the end or anything left over is a fault of
// the library's lowering.
class Result {
 public:
  explicit Result(RustBuffer b) : buf_(b) {
    if (b.data == nullptr && (b.len != 0 || b.capacity != 0)) fail("returned buffer with null data");
    if (b.len > b.capacity) fail("returned buffer longer than its capacity");
  }
  Result(const Result&) = delete;
  Result& operator=(const Result&) = delete;
  ~Result() { free_buffer(buf_); }

  std::span<const uint8_t> all() const { return {buf_.data, static_cast<std::size_t>(buf_.len)}; }
  uint64_t be(int width) {
    need(width);
    uint64_t v = 0;
    for (int i = 0; i < width; ++i) v = v << 8 | buf_.data[pos_++];
    return v;
  }
  int32_t i32() { return static_cast<int32_t>(be(4)); }
  ByteString bytes() {
    const int32_t n = i32();
    if (n < 0) fail("negative length in a returned value");
    need(static_cast<std::size_t>(n));
    ByteString out(buf_.data + pos_, buf_.data + pos_ + n);
    pos_ += static_cast<std::size_t>(n);
    return out;
  }
  // A returned string is UTF-8 whenever the text it came from was: the frame hands top-level
  // string arguments on unchecked, so a caller that broke that contract may get its bytes back.
  std::string string(bool from_utf8 = true) {
    ByteString b = bytes();
    if (from_utf8 && !check_utf8(b).valid) fail("returned string is not UTF-8");
    return as_text(b);
  }
  std::optional<ByteString> optional_bytes() {
    const uint64_t tag = be(1);
    if (tag > 1) fail("returned option with a bad tag");
    if (tag == 0) return std::nullopt;
    return bytes();
  }
  int32_t variant(int32_t count) {
    const int32_t v = i32();
    if (v < 1 || v > count) fail("returned enum variant out of range");
    return v;
  }
  void done() const {
    if (pos_ != buf_.len) fail("returned value has trailing bytes");
  }

 private:
  void need(std::size_t n) const {
    if (buf_.len - pos_ < n) fail("returned value is short");
  }
  RustBuffer buf_;
  std::size_t pos_ = 0;
};

// --- outcomes ----------------------------------------------------------------------------------

struct Outcome {
  int code = 0;
  std::string message;  // the error's message (code 1) or the failure text (code 2)
};

inline std::map<std::string, std::size_t>& outcome_counts() {
  static std::map<std::string, std::size_t> counts;
  return counts;
}

inline bool stats_enabled() {
  static const bool on = std::getenv("QV_FUZZ_STATS") != nullptr;
  return on;
}

inline void print_stats() {
  std::fprintf(stderr, "outcomes:\n");
  for (const auto& [key, n] : outcome_counts()) std::fprintf(stderr, "%8zu  %s\n", n, key.c_str());
}

inline void record(const Outcome& o) {
  if (!stats_enabled()) return;
  std::string key = std::to_string(o.code) + " " + o.message.substr(0, 90);
  std::replace(key.begin(), key.end(), '\n', '|');
  ++outcome_counts()[key];
}

// The VerifyError encoding: variant 1, then the message as a counted UTF-8 string.
inline std::string verify_error_message(RustBuffer b) {
  Result r(b);
  if (r.i32() != 1) fail("error buffer is not VerifyError::Verification");
  std::string message = r.string();
  r.done();
  if (message.empty()) fail("empty error message");
  return message;
}

// --- one call ----------------------------------------------------------------------------------

struct Signature {
  const char* function;
  std::vector<Param> params;
};

class Call {
 public:
  Call(const Signature& sig, const uint8_t* data, std::size_t size) : sig_(sig) {
    Input in(data, size);
    for (const Param& p : sig.params) values_.push_back(decode_value(in, p.type));
    for (std::size_t i = 0; i < sig.params.size(); ++i) {
      if (!buffer_carried(sig.params[i].type)) {
        lowered_.emplace_back();
        continue;
      }
      lowered_.push_back(lower(sig.params[i].type, values_[i]));
      if (first_malformed_ == npos && lowered_.back().expect.malformed) first_malformed_ = i;
    }
  }
  Call(const Call&) = delete;
  Call& operator=(const Call&) = delete;
  ~Call() {
    if (!checked_) fail("call status never checked");
  }

  const Value& value(std::size_t i) const { return values_[i]; }
  uint64_t integer(std::size_t i) const { return values_[i].integer; }
  std::span<const uint8_t> bytes(std::size_t i) const { return values_[i].bytes; }
  std::string text(std::size_t i) const { return as_text(values_[i].bytes); }
  const std::vector<ByteString>& list(std::size_t i) const { return values_[i].list; }
  // Whether every argument reached the work operation as the fuzzer meant it.
  bool well_formed() const { return first_malformed_ == npos; }

  // The lowered buffer of argument i; the call consumes it.
  RustBuffer arg(std::size_t i) {
    if (handed_[i]) fail("argument passed twice");
    handed_[i] = true;
    return lowered_[i].buf;
  }
  RustCallStatus* status() { return &status_; }

  // Checks the status against the arguments and releases the error buffer. A call that did not
  // succeed must have returned `returned` as the zero value (pass {} for other return types).
  Outcome finish(RustBuffer returned = {}) {
    checked_ = true;
    for (std::size_t i = 0; i < sig_.params.size(); ++i) {
      if (buffer_carried(sig_.params[i].type) && !handed_[i]) fail("argument never passed");
      if (lowered_[i].caller_keeps) free_buffer(*lowered_[i].caller_keeps);
    }
    Outcome o;
    o.code = status_.code;
    if (o.code == 0) {
      if (status_.error_buf.data != nullptr || status_.error_buf.len != 0 || status_.error_buf.capacity != 0)
        fail("successful call wrote the error buffer");
    } else {
      if (returned.data != nullptr || returned.len != 0 || returned.capacity != 0) fail("failed call returned a value");
    }
    if (o.code == 1) o.message = verify_error_message(status_.error_buf);
    if (o.code == 2) {
      Result r(status_.error_buf);
      o.message = as_text(r.all());
    }
    if (o.code != 0 && o.code != 1 && o.code != 2) fail("unknown status code");
    record(o);
    if (first_malformed_ == npos) {
      if (o.code == 2) fail("status 2 on well-formed arguments:", o.message);
      return o;
    }
    const Param& p = sig_.params[first_malformed_];
    const Expectation& e = lowered_[first_malformed_].expect;
    if (o.code != 2) fail("malformed argument accepted:", p.name);
    if (e.buffer_fault) {
      if (o.message != e.reason) fail("wrong buffer fault message:", o.message);
      return o;
    }
    const std::string prefix = std::string("Failed to convert arg '") + p.name + "':\n";
    if (o.message.rfind(prefix, 0) != 0) fail("status 2 names the wrong argument:", o.message);
    const std::string_view reason = std::string_view(o.message).substr(prefix.size());
    if (e.reason_is_prefix ? reason.rfind(e.reason, 0) != 0 : reason != e.reason)
      fail("wrong lifting reason:", o.message);
    return o;
  }

 private:
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);
  const Signature& sig_;
  std::vector<Value> values_;
  std::vector<Lowered> lowered_;
  std::array<bool, 16> handed_{};
  std::size_t first_malformed_ = npos;
  RustCallStatus status_{};
  bool checked_ = false;
};

// --- seeds -------------------------------------------------------------------------------------

inline std::string seed_name(const ByteString& b) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (uint8_t c : b) h = (h ^ c) * 0x100000001b3ull;
  char name[17];
  std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(h));
  return name;
}

// QV_FUZZ_WRITE_SEEDS=<calls.json>:<dir> makes a target write its seeds instead of fuzzing: every
// call of its function in the table, encoded in the input format, and for each the same call
// with one buffer argument in a malformed shape, then exit.
inline void write_seeds_if_asked(const Signature& sig) {
  const char* spec = std::getenv("QV_FUZZ_WRITE_SEEDS");
  if (spec == nullptr) return;
  const std::string s(spec);
  const auto colon = s.find(':');
  if (colon == std::string::npos) fail("QV_FUZZ_WRITE_SEEDS is <calls.json>:<dir>");
  std::ifstream in(s.substr(0, colon));
  const auto doc = nlohmann::json::parse(in);
  const std::filesystem::path dir = s.substr(colon + 1);
  std::filesystem::create_directories(dir);
  std::vector<std::size_t> carried;
  for (std::size_t i = 0; i < sig.params.size(); ++i)
    if (buffer_carried(sig.params[i].type)) carried.push_back(i);
  std::size_t written = 0, variant = 0;
  auto write = [&](const std::vector<Value>& values) {
    ByteString seed;
    for (std::size_t i = 0; i < values.size(); ++i) encode_value(seed, sig.params[i].type, values[i]);
    std::ofstream(dir / seed_name(seed), std::ios::binary).write(reinterpret_cast<const char*>(seed.data()),
                                                                 static_cast<std::streamsize>(seed.size()));
    ++written;
  };
  for (const auto& call : doc["calls"]) {
    if (call["function"] != sig.function) continue;
    const auto& args = call["args"];
    if (args.size() != sig.params.size()) fail("call table arity differs for", sig.function);
    std::vector<Value> values;
    for (std::size_t i = 0; i < sig.params.size(); ++i) values.push_back(plain_value(args[i], sig.params[i].type));
    write(values);
    if (carried.empty() || call.value("expect", "") != "ok") continue;
    Value& v = values[carried[variant % carried.size()]];
    v.shape = static_cast<uint8_t>(kMalformedShapes + variant % 11);
    ++variant;
    write(values);
  }
  std::fprintf(stderr, "%s: %zu seeds\n", sig.function, written);
  std::exit(0);
}

inline void initialize(const Signature& sig) {
  write_seeds_if_asked(sig);
  // The table exists before the handler is registered, so it is destroyed after the handler ran.
  (void)outcome_counts();
  if (stats_enabled()) std::atexit(print_stats);
}

}  // namespace qv_fuzz

// Declares the target's LLVMFuzzerInitialize: seed writing and outcome statistics.
#define QV_FUZZ_TARGET(sig)                                          \
  extern "C" int LLVMFuzzerInitialize(int*, char***) {               \
    ::qv_fuzz::initialize(sig);                                      \
    return 0;                                                        \
  }
