// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// checkpoint_parse through the C ABI. A parsed head is what the body says: its first three
// lines are the origin, the decimal size and the base64 root, the remaining lines the extensions.
#include "abi_oracles.hpp"

namespace {
const qv_fuzz::Signature kSig{"checkpoint_parse", {{"body_text", qv_fuzz::Type::String}}};

std::vector<std::string> lines_of(std::string_view body) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start < body.size()) {
    std::size_t end = body.find('\n', start);
    const bool terminated = end != std::string_view::npos;
    if (!terminated) end = body.size();
    std::string line(body.substr(start, end - start));
    // Only a carriage return directly before a line feed goes with it.
    if (terminated && !line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(line);
    start = end + 1;
  }
  return out;
}
}  // namespace

QV_FUZZ_TARGET(kSig)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv_fuzz::Call call(kSig, data, size);
  RustBuffer out = uniffi_quorvantile_log_fn_func_checkpoint_parse(call.arg(0), call.status());
  const qv_fuzz::Outcome o = call.finish(out);
  if (o.code != 0) return 0;
  const qv_fuzz::Head head = qv_fuzz::read_head(out, call.text(0));
  const std::vector<std::string> lines = lines_of(call.text(0));
  if (lines.size() != 3 + head.extensions.size()) qv_fuzz::fail("head has a different number of lines than the body");
  if (lines[0] != head.origin || lines[1] != std::to_string(head.size) || lines[2] != qv_fuzz::base64(head.root))
    qv_fuzz::fail("head differs from the body:", call.text(0));
  for (std::size_t i = 0; i < head.extensions.size(); ++i)
    if (lines[3 + i] != head.extensions[i]) qv_fuzz::fail("extension differs from the body");
  return 0;
}
