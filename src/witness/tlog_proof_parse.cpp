// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include <algorithm>
#include <charconv>

#include "encoding/base64.hpp"
#include "witness/tlog_proof.hpp"

namespace quorvantile_log::witness {
namespace {

constexpr std::string_view kExtraPrefix = "extra ";
constexpr std::string_view kIndexPrefix = "index ";

// Reads the bundle one line feed-terminated line at a time.
class Lines {
 public:
  explicit Lines(std::string_view text) : text_(text) {}

  // The next line without its line feed, or nothing when no terminated line is left.
  std::optional<std::string_view> next() {
    const std::size_t end = text_.find('\n', pos_);
    if (end == std::string_view::npos) return std::nullopt;
    const std::string_view line = text_.substr(pos_, end - pos_);
    pos_ = end + 1;
    ++number_;
    return line;
  }
  std::optional<std::string_view> peek() const {
    const std::size_t end = text_.find('\n', pos_);
    if (end == std::string_view::npos) return std::nullopt;
    return text_.substr(pos_, end - pos_);
  }
  std::string_view rest() const { return text_.substr(pos_); }
  uint64_t number() const { return number_; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  uint64_t number_ = 0;
};

WitnessError malformed(uint64_t line, std::string rule) {
  return WitnessError::malformed_proof("line " + std::to_string(line) + ": " + std::move(rule));
}

std::optional<uint64_t> parse_index(std::string_view digits) {
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  if (digits.size() > 1 && digits[0] == '0') return std::nullopt;
  uint64_t value = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (ec != std::errc{} || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

}  // namespace

WitnessResult<TlogProofBundle> parse_tlog_proof(std::string_view text) {
  Lines lines(text);
  TlogProofBundle bundle;

  const auto header = lines.next();
  if (!header) return std::unexpected(WitnessError::malformed_proof("missing header line"));
  if (*header != kTlogProofHeader) return std::unexpected(malformed(1, "unknown header " + quote(*header)));

  if (const auto line = lines.peek(); line && line->starts_with(kExtraPrefix)) {
    lines.next();
    // An empty payload is the encoding of empty extra data.
    auto extra = encoding::base64_decode(line->substr(kExtraPrefix.size()));
    if (!extra) return std::unexpected(malformed(lines.number(), "extra data is not canonical base64"));
    bundle.extra = std::move(*extra);
  }

  const auto index_line = lines.next();
  if (!index_line || !index_line->starts_with(kIndexPrefix)) {
    return std::unexpected(malformed(lines.number() + (index_line ? 0 : 1), "missing index line"));
  }
  const auto index = parse_index(index_line->substr(kIndexPrefix.size()));
  if (!index) {
    return std::unexpected(malformed(lines.number(), "index " + quote(index_line->substr(kIndexPrefix.size())) +
                                                         " is not a 64-bit decimal number without leading zeros"));
  }
  bundle.index = *index;

  for (;;) {
    const auto line = lines.next();
    if (!line) return std::unexpected(malformed(lines.number() + 1, "missing empty line before the checkpoint"));
    if (line->empty()) break;
    if (bundle.proof.size() == kMaxProofHashes) {
      return std::unexpected(malformed(lines.number(), "more than " + std::to_string(kMaxProofHashes) + " proof hashes"));
    }
    const auto hash = encoding::base64_decode(*line);
    if (!hash) return std::unexpected(malformed(lines.number(), "proof hash is not canonical base64"));
    if (hash->size() != 32) {
      return std::unexpected(
          malformed(lines.number(), "proof hash is " + std::to_string(hash->size()) + " bytes, want 32"));
    }
    quorvantile_crypto::Hash32& slot = bundle.proof.emplace_back();
    std::copy(hash->begin(), hash->end(), slot.begin());
  }

  bundle.note = lines.rest();
  if (bundle.note.empty()) return std::unexpected(malformed(lines.number() + 1, "missing checkpoint"));
  return bundle;
}

}  // namespace quorvantile_log::witness
