// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Proof-bundle parsing of arbitrary bytes. A bundle that parses is written back and must equal
// the input byte for byte (every accepted field is canonical); its note is then verified under a
// fixed policy, which must fail or succeed without fault.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "encoding/base64.hpp"
#include "witness/cosigned.hpp"
#include "witness/tlog_proof.hpp"

using namespace quorvantile_log;

namespace {

constexpr std::string_view kPolicy =
    "log sigsum.org/v1/tree/e796172b92befd62d9dc67e41c2f5bc9d3100a3023b20b1ca40288dd1c679e69+809da1a3+"
    "AWbguFjkYqYJ5m/nE3DIFtiEb/ED1UmaIqf+w3/bxCSn\n"
    "witness A Wit1+9b3fb2d5+BFhZSmQj9+SoL+p/nN0Hh76xXmF7QcHfytUrI1XfSClk\n"
    "witness B Wit2+38153445+BGVbwFJte9wMQIPSnEnj4KibeO6vSIOEDUTDp3o63c2x\n"
    "group g any A B\n"
    "quorum g\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const witness::Policy policy = *witness::Policy::parse(kPolicy);
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto bundle = witness::parse_tlog_proof(input);
  if (!bundle) {
    if (!bundle.error().render().starts_with("malformed tlog proof: ")) std::abort();
    return 0;
  }
  if (bundle->proof.size() > witness::kMaxProofHashes || bundle->note.empty()) std::abort();
  std::string rebuilt = std::string(witness::kTlogProofHeader) + "\n";
  if (bundle->extra) rebuilt += "extra " + encoding::base64_encode(*bundle->extra) + "\n";
  rebuilt += "index " + std::to_string(bundle->index) + "\n";
  for (const auto& hash : bundle->proof) rebuilt += encoding::base64_encode(hash) + "\n";
  rebuilt += "\n";
  rebuilt += bundle->note;
  if (rebuilt != input) std::abort();
  const auto verified = witness::verify_cosigned(policy, bundle->note);
  if (!verified) (void)verified.error().render();
  return 0;
}
