// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Parsing of checkpoint bodies.
#include <algorithm>
#include <charconv>

#include "checkpoint/checkpoint.hpp"
#include "encoding/base64.hpp"

namespace quorvantile_log::checkpoint {
namespace {

Error malformed(std::string detail) { return Error::malformed_checkpoint(std::move(detail)); }

// Reads a body line by line: a line ends at a line feed (a carriage return directly before it
// goes with it); a final line feed ends the last line rather than starting an empty one. Lines are
// views into the body, read one at a time, so a body of many lines costs no list of them.
class LineCursor {
 public:
  explicit LineCursor(std::string_view body) : rest_(body) {}
  bool done() const { return rest_.empty(); }
  std::size_t remaining() const { return rest_.size(); }
  std::string_view next() {
    std::size_t end = rest_.find('\n');
    const bool terminated = end != std::string_view::npos;
    if (!terminated) end = rest_.size();
    std::string_view line = rest_.substr(0, end);
    rest_.remove_prefix(terminated ? end + 1 : end);
    if (terminated && line.ends_with('\r')) line.remove_suffix(1);
    return line;
  }

 private:
  std::string_view rest_;
};

Result<uint64_t> parse_tree_size(std::string_view line) {
  if (line.empty() || !std::all_of(line.begin(), line.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::unexpected(malformed("tree size is not decimal: " + quote(line)));
  }
  if (line.size() > 1 && line[0] == '0') {
    return std::unexpected(malformed("tree size has a leading zero: " + quote(line)));
  }
  uint64_t size = 0;
  const auto [end, ec] = std::from_chars(line.data(), line.data() + line.size(), size);
  if (ec != std::errc{} || end != line.data() + line.size()) {
    return std::unexpected(malformed("tree size overflow: " + quote(line)));
  }
  return size;
}

Result<quorvantile_crypto::Hash32> parse_root(std::string_view line) {
  const auto decoded = encoding::base64_decode(line);
  if (!decoded) return std::unexpected(malformed("root hash is not valid base64: " + quote(line)));
  if (decoded->size() != kRootLength) {
    return std::unexpected(
        malformed("root hash is " + std::to_string(decoded->size()) + " bytes, want " + std::to_string(kRootLength)));
  }
  quorvantile_crypto::Hash32 root{};
  std::copy(decoded->begin(), decoded->end(), root.begin());
  return root;
}

}  // namespace

Result<Checkpoint> Checkpoint::parse(std::string_view body) {
  LineCursor lines(body);
  if (lines.done()) return std::unexpected(malformed("missing origin line"));
  const std::string_view origin = lines.next();
  if (lines.done()) return std::unexpected(malformed("missing tree-size line"));
  const std::string_view size_line = lines.next();
  if (lines.done()) return std::unexpected(malformed("missing root-hash line"));
  const std::string_view root_line = lines.next();
  if (origin.empty()) return std::unexpected(malformed("empty origin line"));
  const auto size = parse_tree_size(size_line);
  if (!size) return std::unexpected(size.error());
  const auto root = parse_root(root_line);
  if (!root) return std::unexpected(root.error());

  Checkpoint checkpoint;
  checkpoint.origin = std::string(origin);
  checkpoint.size = *size;
  checkpoint.root = *root;
  // The extension lines with their terminators take at most the bytes that are left.
  checkpoint.extensions.reserve(lines.remaining() + 1);
  while (!lines.done()) {
    const std::string_view line = lines.next();
    if (line.empty()) return std::unexpected(malformed("empty extension line"));
    checkpoint.extensions.push_back(line);
  }
  return checkpoint;
}

CheckpointHead Checkpoint::to_head() const& {
  return CheckpointHead{origin, size, std::vector<uint8_t>(root.begin(), root.end()), extensions};
}

CheckpointHead Checkpoint::to_head() && {
  return CheckpointHead{std::move(origin), size, std::vector<uint8_t>(root.begin(), root.end()), std::move(extensions)};
}

}  // namespace quorvantile_log::checkpoint
