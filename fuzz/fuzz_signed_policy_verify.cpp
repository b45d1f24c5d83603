// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// signed_policy_verify through the C ABI. A verified posture decodes with every enumeration in
// range, names a namespace, and its leaf hash is the RFC 6962 leaf hash of a record that the
// envelope carries.
#include "abi_oracles.hpp"

namespace {
const qv_fuzz::Signature kSig{"signed_policy_verify", {{"envelope", qv_fuzz::Type::Bytes}}};
}  // namespace

QV_FUZZ_TARGET(kSig)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv_fuzz::Call call(kSig, data, size);
  RustBuffer out = uniffi_quorvantile_log_fn_func_signed_policy_verify(call.arg(0), call.status());
  const qv_fuzz::Outcome o = call.finish(out);
  if (o.code != 0) return 0;
  const qv_fuzz::Posture p = qv_fuzz::read_posture(out);
  const auto envelope = call.bytes(0);
  const auto found = std::search(envelope.begin(), envelope.end(), p.ns.begin(), p.ns.end());
  if (found == envelope.end()) qv_fuzz::fail("posture names a namespace the envelope does not carry");
  // The envelope is version, then the record behind its u32 length.
  if (envelope.size() < 8) qv_fuzz::fail("tiny envelope verified");
  const std::size_t len = std::size_t{envelope[4]} << 24 | std::size_t{envelope[5]} << 16 |
                          std::size_t{envelope[6]} << 8 | envelope[7];
  if (len > envelope.size() - 8) qv_fuzz::fail("verified envelope with a short record");
  static constexpr uint8_t kLeaf[1] = {0x00};
  const std::span<const uint8_t> record = envelope.subspan(8, len);
  if (p.schema == 1 && qv_fuzz::digest(EVP_sha256(), {kLeaf, record}) != p.leaf_hash)
    qv_fuzz::fail("leaf hash is not that of the received version-1 record");
  return 0;
}
