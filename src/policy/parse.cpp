// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Parsing of the signed-policy envelope and of the policy record inside it. Each field is read
// and checked before the next one is read, so the first bad field decides the message.
#include <string>

#include "coniks/namespace.hpp"
#include "policy/cursor.hpp"
#include "policy/namespace_policy.hpp"
#include "policy/posture_tags.hpp"
#include "text/utf8.hpp"

namespace quorvantile_log::policy {
namespace {

Error malformed(std::string detail) { return Error::malformed_policy(std::move(detail)); }

// Reads a u8 tag and maps it at once.
template <class T>
Result<T> read_tag(Cursor& in, std::optional<T> (*map)(uint8_t), std::string_view field) {
  const auto tag = in.u8();
  if (!tag) return std::unexpected(tag.error());
  const auto value = map(*tag);
  if (!value) return std::unexpected(malformed("unknown " + std::string(field) + " tag 0x" + lower_hex(*tag, 2)));
  return *value;
}

}  // namespace

#define QV_TRY(var, expr)                                   \
  auto var = (expr);                                        \
  if (!var) return std::unexpected(std::move(var.error()))

Result<NamespacePolicy> parse_policy_record(ByteView record) {
  Cursor in(record);
  NamespacePolicy p;
  QV_TRY(version, in.u32());
  if (*version != 1 && *version != 2) return std::unexpected(malformed("unknown policy format version " + std::to_string(*version)));

  QV_TRY(name, in.lp());
  if (!utf8::check(*name).valid) return std::unexpected(malformed("namespace is not valid UTF-8"));
  QV_TRY(ns, Namespace::parse(quorvantile_crypto::as_text(*name)));
  p.namespace_.assign(quorvantile_crypto::as_text(*name));

  QV_TRY(schema, in.u32());
  p.policy_schema_version = *schema;
  QV_TRY(level, read_tag(in, security_level_from_tag, "security_level"));
  p.security_level = *level;
  QV_TRY(suite, read_tag(in, checkpoint_suite_from_tag, "checkpoint_suite"));
  p.checkpoint_suite = *suite;
  QV_TRY(commitment, read_tag(in, commitment_hash_from_tag, "commitment_hash"));
  p.commitment_hash = *commitment;
  QV_TRY(vrf, read_tag(in, vrf_mode_from_tag, "vrf_mode"));
  p.vrf_mode = *vrf;
  QV_TRY(effective_from, in.u64());
  p.effective_from = *effective_from;
  QV_TRY(created_at, in.u64());
  p.created_at = *created_at;

  QV_TRY(prev, in.lp());
  if (prev->size() == 64) {
    p.prev_policy_hash.emplace();
    std::copy(prev->begin(), prev->end(), p.prev_policy_hash->begin());
  } else if (!prev->empty()) {
    return std::unexpected(malformed("prev_policy_hash is " + std::to_string(prev->size()) + " bytes, want 0 (genesis) or 64"));
  }

  if (*version == 2) {
    QV_TRY(mode, read_tag(in, directory_mode_from_tag, "directory_mode"));
    p.directory_mode = *mode;
    QV_TRY(id, in.u16());
    const auto keytrans = keytrans_suite_from_id(*id);
    if (!keytrans) return std::unexpected(malformed("unknown keytrans_suite id 0x" + lower_hex(*id, 4)));
    p.keytrans_suite = *keytrans;
  }
  if (!in.at_end()) return std::unexpected(malformed("trailing bytes after policy record"));
  QV_TRY(valid, p.validate());
  return p;
}

Result<SignedPolicy> SignedPolicy::parse(ByteView envelope) {
  Cursor in(envelope);
  QV_TRY(format, in.u32());
  if (*format != 1) return std::unexpected(malformed("unknown signed-policy format version " + std::to_string(*format)));
  QV_TRY(record, in.lp());
  QV_TRY(policy, parse_policy_record(*record));
  QV_TRY(public_key, in.lp());
  QV_TRY(signature, in.lp());
  if (public_key->empty() || signature->empty()) {
    return std::unexpected(malformed("signed policy must carry a non-empty key and signature"));
  }
  if (!in.at_end()) return std::unexpected(malformed("trailing bytes after signed policy envelope"));
  return SignedPolicy{std::move(*policy), Bytes(public_key->begin(), public_key->end()),
                      Bytes(signature->begin(), signature->end())};
}

#undef QV_TRY

}  // namespace quorvantile_log::policy
