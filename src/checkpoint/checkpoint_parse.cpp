// Parsing of checkpoint bodies.
#include <algorithm>
#include <charconv>

#include "checkpoint/checkpoint.hpp"
#include "encoding/base64.hpp"

namespace quorvantile_log::checkpoint {
namespace {

Error malformed(std::string detail) { return Error::malformed_checkpoint(std::move(detail)); }

// Splits at line feeds, dropping a carriage return directly before one. A final line feed ends
// the last line rather than starting an empty one.
std::vector<std::string_view> split_lines(std::string_view body) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < body.size()) {
    std::size_t end = body.find('\n', start);
    const bool terminated = end != std::string_view::npos;
    if (!terminated) end = body.size();
    std::string_view line = body.substr(start, end - start);
    if (terminated && line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

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
  const std::vector<std::string_view> lines = split_lines(body);
  if (lines.empty()) return std::unexpected(malformed("missing origin line"));
  if (lines.size() == 1) return std::unexpected(malformed("missing tree-size line"));
  if (lines.size() == 2) return std::unexpected(malformed("missing root-hash line"));
  if (lines[0].empty()) return std::unexpected(malformed("empty origin line"));
  const auto size = parse_tree_size(lines[1]);
  if (!size) return std::unexpected(size.error());
  const auto root = parse_root(lines[2]);
  if (!root) return std::unexpected(root.error());

  Checkpoint checkpoint;
  checkpoint.origin = std::string(lines[0]);
  checkpoint.size = *size;
  checkpoint.root = *root;
  checkpoint.extensions.reserve(lines.size() - 3);
  for (std::size_t i = 3; i < lines.size(); ++i) {
    if (lines[i].empty()) return std::unexpected(malformed("empty extension line"));
    checkpoint.extensions.emplace_back(lines[i]);
  }
  return checkpoint;
}

CheckpointHead Checkpoint::to_head() const {
  return CheckpointHead{origin, size, std::vector<uint8_t>(root.begin(), root.end()), extensions};
}

}  // namespace quorvantile_log::checkpoint
