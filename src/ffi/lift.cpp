// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "ffi/lift.hpp"

#include <algorithm>

#include "text/utf8.hpp"

namespace quorvantile_log::ffi {
namespace {

std::string not_enough(std::size_t remaining, std::size_t needed) {
  return "not enough bytes remaining in buffer (" + std::to_string(remaining) + " < " + std::to_string(needed) + ")";
}

// sequence<u8> is read element by element in the reference decoding, so a short buffer always
// fails on an element read with nothing left: "(0 < 1)". The count is checked against what is
// left before anything is allocated.
Lifted<ByteView> read_byte_sequence(Reader& reader) {
  auto count = reader.count();
  if (!count) return std::unexpected(count.error());
  if (*count > reader.remaining()) return std::unexpected(not_enough(0, 1));
  return reader.take(*count);
}

}  // namespace

Lifted<void> Reader::need(std::size_t n) const {
  if (remaining() < n) return std::unexpected(not_enough(remaining(), n));
  return {};
}

Lifted<uint8_t> Reader::u8() {
  if (auto ok = need(1); !ok) return std::unexpected(ok.error());
  return data_[pos_++];
}

Lifted<int32_t> Reader::i32() {
  if (auto ok = need(4); !ok) return std::unexpected(ok.error());
  const uint32_t v = (uint32_t{data_[pos_]} << 24) | (uint32_t{data_[pos_ + 1]} << 16) |
                     (uint32_t{data_[pos_ + 2]} << 8) | uint32_t{data_[pos_ + 3]};
  pos_ += 4;
  return static_cast<int32_t>(v);
}

Lifted<std::size_t> Reader::count() {
  auto v = i32();
  if (!v) return std::unexpected(v.error());
  if (*v < 0) return std::unexpected(std::string("out of range integral type conversion attempted"));
  return static_cast<std::size_t>(*v);
}

Lifted<ByteView> Reader::take(std::size_t n) {
  if (auto ok = need(n); !ok) return std::unexpected(ok.error());
  ByteView out = data_.subspan(pos_, n);
  pos_ += n;
  return out;
}

Lifted<void> Reader::finish() const {
  if (remaining() != 0)
    return std::unexpected("junk data left in buffer after lifting (count: " + std::to_string(remaining()) + ")");
  return {};
}

namespace {

// A well-formed sequence<u8> buffer is a 4-byte count and exactly that many bytes: recognised
// without the reader, which then only runs to word the failure of a malformed one.
std::optional<ByteView> exact_byte_sequence(ByteView buffer) {
  if (buffer.size() < 4) return std::nullopt;
  const uint32_t count = (uint32_t{buffer[0]} << 24) | (uint32_t{buffer[1]} << 16) | (uint32_t{buffer[2]} << 8) |
                         uint32_t{buffer[3]};
  if (count > 0x7FFF'FFFFu || count != buffer.size() - 4) return std::nullopt;
  return buffer.subspan(4);
}

}  // namespace

Lifted<ByteView> lift_bytes(ByteView buffer) {
  if (const auto exact = exact_byte_sequence(buffer)) return *exact;
  Reader reader(buffer);
  auto bytes = read_byte_sequence(reader);
  if (!bytes) return bytes;
  if (auto done = reader.finish(); !done) return std::unexpected(done.error());
  return bytes;
}

Lifted<std::vector<ByteView>> lift_bytes_list(ByteView buffer) {
  Reader reader(buffer);
  auto count = reader.count();
  if (!count) return std::unexpected(count.error());
  std::vector<ByteView> out;
  // Every element needs at least its 4-byte count, which bounds what can be reserved.
  out.reserve(std::min(*count, reader.remaining() / 4));
  for (std::size_t i = 0; i < *count; ++i) {
    auto element = read_byte_sequence(reader);
    if (!element) return std::unexpected(element.error());
    out.push_back(*element);
  }
  if (auto done = reader.finish(); !done) return std::unexpected(done.error());
  return out;
}

Lifted<std::vector<std::string_view>> lift_string_list(ByteView buffer) {
  Reader reader(buffer);
  auto count = reader.count();
  if (!count) return std::unexpected(count.error());
  // Views into the argument buffer: one per text, however short, and no copy.
  std::vector<std::string_view> out;
  out.reserve(std::min(*count, reader.remaining() / 4));
  for (std::size_t i = 0; i < *count; ++i) {
    auto length = reader.count();
    if (!length) return std::unexpected(length.error());
    auto text = reader.take(*length);
    if (!text) return std::unexpected(text.error());
    const utf8::Check check = utf8::check(*text);
    if (!check.valid) {
      if (check.invalid_length == 0)
        return std::unexpected("incomplete utf-8 byte sequence from index " + std::to_string(check.valid_up_to));
      return std::unexpected("invalid utf-8 sequence of " + std::to_string(check.invalid_length) +
                             " bytes from index " + std::to_string(check.valid_up_to));
    }
    out.emplace_back(reinterpret_cast<const char*>(text->data()), text->size());
  }
  if (auto done = reader.finish(); !done) return std::unexpected(done.error());
  return out;
}

Lifted<std::optional<ByteView>> lift_optional_bytes(ByteView buffer) {
  if (buffer.size() == 1 && buffer[0] == 0) return std::optional<ByteView>();
  if (!buffer.empty() && buffer[0] == 1) {
    if (const auto exact = exact_byte_sequence(buffer.subspan(1))) return std::optional<ByteView>(*exact);
  }
  Reader reader(buffer);
  auto tag = reader.u8();
  if (!tag) return std::unexpected(tag.error());
  std::optional<ByteView> out;
  if (*tag == 1) {
    auto bytes = read_byte_sequence(reader);
    if (!bytes) return std::unexpected(bytes.error());
    out = *bytes;
  } else if (*tag != 0) {
    return std::unexpected(std::string("unexpected tag byte for Option"));
  }
  if (auto done = reader.finish(); !done) return std::unexpected(done.error());
  return out;
}

Lifted<int32_t> lift_enum(ByteView buffer, std::string_view enum_name, int32_t variant_count) {
  Reader reader(buffer);
  auto variant = reader.i32();
  if (!variant) return std::unexpected(variant.error());
  if (*variant < 1 || *variant > variant_count)
    return std::unexpected("Invalid " + std::string(enum_name) + " enum value: " + std::to_string(*variant));
  if (auto done = reader.finish(); !done) return std::unexpected(done.error());
  return *variant;
}

}  // namespace quorvantile_log::ffi
