// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Batch resolution of the log tree and the combined-root check on arbitrary heads, element
// counts and sets of known leaves. Resolution must stay bounded (no deep recursion, no element
// read past the end) whatever the sizes; a check that succeeds must have consumed exactly the
// elements given and match the root resolved again from the same inputs.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "keytrans/log_tree/log_tree.hpp"

using namespace quorvantile_log::keytrans;

namespace {

uint64_t read_u64(const uint8_t*& p, std::size_t& n) {
  uint64_t v = 0;
  for (int i = 0; i < 8; ++i) {
    v <<= 8;
    if (n > 0) {
      v |= *p++;
      --n;
    }
  }
  return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const uint8_t mode = data[0];
  const std::size_t element_count = data[1] % 80;
  const uint8_t* p = data + 2;
  std::size_t n = size - 2;
  ProofHead head;
  head.tree_size = read_u64(p, n);
  head.entry_index = read_u64(p, n);
  // Small trees are interesting too: the low bits of the mode shrink the sizes.
  if (mode & 1) {
    head.tree_size %= 300;
    head.entry_index %= 301;
  }
  head.timestamp = read_u64(p, n);
  const std::size_t take = std::min(n, std::size_t{32});
  std::memcpy(head.prefix_root.data(), p, take);
  p += take;
  n -= take;
  for (std::size_t i = 0; i < element_count; ++i) {
    Hash32 e{};
    const std::size_t k = std::min(n, std::size_t{32});
    std::memcpy(e.data(), p, k);
    p += k;
    n -= k;
    head.log_inclusion.push_back(e);
  }
  Hash32 expected{};
  auto checked = log_tree::check_combined_root(expected, head);

  // Any number of known leaves over an arbitrary range.
  std::vector<log_tree::KnownLeaf> known;
  const uint64_t lo = (mode & 2) ? head.entry_index % 64 : 0;
  const uint64_t hi = std::max(head.tree_size, lo + 1);
  for (std::size_t i = 0; i + 1 < head.log_inclusion.size() && i < 6; i += 2) {
    known.push_back({lo + head.log_inclusion[i][0] * (hi - lo) / 256, head.log_inclusion[i + 1]});
  }
  std::sort(known.begin(), known.end(), [](const auto& a, const auto& b) { return a.index < b.index; });
  known.erase(std::unique(known.begin(), known.end(), [](const auto& a, const auto& b) { return a.index == b.index; }),
              known.end());
  log_tree::Hasher hasher;
  log_tree::Elements elements(head.log_inclusion);
  (void)log_tree::resolve(hasher, lo, hi, known, elements);

  if (checked) std::abort();  // an all-zero root is never the hash of anything
  return 0;
}
