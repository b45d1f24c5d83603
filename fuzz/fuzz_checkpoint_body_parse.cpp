// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Checkpoint-body parsing of arbitrary bytes. A body that parses is written back with line-feed
// endings and no final line feed, and must equal the input once the input's carriage returns
// before line feeds and its final line feed are taken out.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "checkpoint/checkpoint.hpp"
#include "encoding/base64.hpp"

using namespace quorvantile_log;

namespace {

std::string normalised(std::string_view body) {
  std::string out;
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n') continue;
    out.push_back(body[i]);
  }
  if (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto checkpoint = checkpoint::Checkpoint::parse(input);
  if (!checkpoint) {
    (void)checkpoint.error().render();
    return 0;
  }
  if (checkpoint->origin.empty()) std::abort();
  std::string rebuilt = checkpoint->origin + "\n" + std::to_string(checkpoint->size) + "\n" +
                        encoding::base64_encode(checkpoint->root);
  for (std::string_view ext : checkpoint->extensions) {
    if (ext.empty()) std::abort();
    rebuilt += '\n';
    rebuilt += ext;
  }
  if (rebuilt != normalised(input)) std::abort();
  const CheckpointHead head = checkpoint->to_head();
  if (head.root.size() != checkpoint::kRootLength) std::abort();
  return 0;
}
