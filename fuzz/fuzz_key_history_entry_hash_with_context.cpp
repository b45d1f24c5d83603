// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// key_history_entry_hash_with_context through the C ABI. A hash is returned only for a context
// of the form segment/segment/v<digits>, and is then SHA3-512 under that context over the
// canonical bytes written here.
#include "abi_oracles.hpp"

namespace {
const qv_fuzz::Signature kSig{"key_history_entry_hash_with_context",
                              {{"context", qv_fuzz::Type::String},
                               {"seq", qv_fuzz::Type::U64},
                               {"ts_ms", qv_fuzz::Type::U64},
                               {"enc_x25519", qv_fuzz::Type::Bytes},
                               {"enc_pq", qv_fuzz::Type::Bytes},
                               {"signing_pub", qv_fuzz::Type::Bytes},
                               {"prev_entry_hash", qv_fuzz::Type::OptionalBytes}}};

bool label_shaped(std::string_view s) {
  const auto a = s.find('/');
  if (a == 0 || a == std::string_view::npos) return false;
  const auto b = s.find('/', a + 1);
  if (b == a + 1 || b == std::string_view::npos || b + 2 >= s.size() + 1 || s.substr(b + 1, 1) != "v") return false;
  const std::string_view digits = s.substr(b + 2);
  return !digits.empty() && std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}
}  // namespace

QV_FUZZ_TARGET(kSig)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv_fuzz::Call call(kSig, data, size);
  RustBuffer out = uniffi_quorvantile_log_fn_func_key_history_entry_hash_with_context(
      call.arg(0), call.integer(1), call.integer(2), call.arg(3), call.arg(4), call.arg(5), call.arg(6), call.status());
  const qv_fuzz::Outcome o = call.finish(out);
  if (o.code != 0) return 0;
  const std::string context = call.text(0);
  if (!label_shaped(context)) qv_fuzz::fail("hash under a context that is not a label:", context);
  const qv_fuzz::ByteString canonical = qv_fuzz::reference_canonical(call, 1);
  if (qv_fuzz::read_bytes_result(out) != qv_fuzz::sha3_512_with_context(context, {canonical}))
    qv_fuzz::fail("entry hash differs from the reference");
  return 0;
}
