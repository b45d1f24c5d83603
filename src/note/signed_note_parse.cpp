// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Parsing of the signed-note text format.
#include <cstring>

#include "encoding/base64.hpp"
#include "note/name.hpp"
#include "note/signed_note.hpp"

namespace quorvantile_log::note {
namespace {

constexpr std::string_view kLinePrefix = "\xE2\x80\x94 ";  // U+2014 EM DASH, space
constexpr std::size_t kKeyIdLength = 4;

Error malformed(std::string detail) { return Error::malformed_note(std::move(detail)); }

// Branch-free over the whole note so that the scan vectorises; notes are scanned in full on
// success anyway.
bool has_forbidden_control(std::string_view note) {
  uint8_t found = 0;
  for (const char c : note) {
    const auto b = static_cast<uint8_t>(c);
    found |= static_cast<uint8_t>(static_cast<uint8_t>(b < 0x20) & static_cast<uint8_t>(b != '\n'));
  }
  return found != 0;
}

// The position of the last "\n\n", searched backwards line feed by line feed (memrchr), since
// the signature block after it can be kilobytes long.
std::size_t last_blank_line(std::string_view note) {
  std::size_t end = note.size();
  while (end > 1) {
    const void* hit = memrchr(note.data(), '\n', end);
    if (hit == nullptr) break;
    const std::size_t pos = static_cast<std::size_t>(static_cast<const char*>(hit) - note.data());
    if (pos > 0 && note[pos - 1] == '\n') return pos - 1;
    end = pos;
  }
  return std::string_view::npos;
}

Result<Signature> parse_signature_line(std::string_view line) {
  if (!line.starts_with(kLinePrefix)) {
    return std::unexpected(malformed("signature line missing '— ' prefix: " + quote(line)));
  }
  const std::string_view rest = line.substr(kLinePrefix.size());
  const std::size_t space = rest.find(' ');
  if (space == std::string_view::npos) return std::unexpected(malformed("signature line missing space"));
  const std::string_view name = rest.substr(0, space);
  const std::string_view blob = rest.substr(space + 1);
  if (!is_valid_name(name) || blob.empty()) {
    return std::unexpected(malformed("invalid signature line name/blob: " + quote(line)));
  }
  auto decoded = encoding::base64_decode(blob);
  if (!decoded) return std::unexpected(std::move(decoded.error()));
  if (decoded->size() <= kKeyIdLength) return std::unexpected(malformed("signature blob too short"));
  const auto& d = *decoded;
  Signature sig;
  sig.name = std::string(name);
  sig.key_id = uint32_t{d[0]} << 24 | uint32_t{d[1]} << 16 | uint32_t{d[2]} << 8 | d[3];
  sig.signature.assign(d.begin() + kKeyIdLength, d.end());
  return sig;
}

}  // namespace

Result<SignedNote> SignedNote::create(std::string text, std::vector<Signature> signatures) {
  if (text.empty() || text.back() != '\n') return std::unexpected(malformed("note text must end in newline"));
  return SignedNote(std::move(text), std::move(signatures));
}

Result<SignedNote> SignedNote::parse(std::string_view note) {
  if (has_forbidden_control(note)) return std::unexpected(malformed("note contains a forbidden control character"));
  const std::size_t separator = last_blank_line(note);
  if (separator == std::string_view::npos) return std::unexpected(malformed("missing blank-line signature separator"));
  const std::string_view text = note.substr(0, separator + 1);
  const std::string_view block = note.substr(separator + 2);
  if (block.empty() || block.back() != '\n') {
    return std::unexpected(malformed("signature block is empty or unterminated"));
  }

  std::vector<Signature> signatures;
  std::size_t start = 0;
  while (start < block.size()) {
    const std::size_t end = block.find('\n', start);
    auto sig = parse_signature_line(block.substr(start, end - start));
    if (!sig) return std::unexpected(std::move(sig.error()));
    signatures.push_back(std::move(*sig));
    if (signatures.size() > kMaxSignatureLines) return std::unexpected(malformed("too many signatures"));
    start = end + 1;
  }
  return create(std::string(text), std::move(signatures));
}

}  // namespace quorvantile_log::note
