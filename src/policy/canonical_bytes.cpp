// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The canonical re-encoding of a policy record, and the names derived from its namespace.
#include "policy/namespace_policy.hpp"
#include "policy/posture_tags.hpp"

namespace quorvantile_log::policy {
namespace {

void put_be(Bytes& out, uint64_t v, int width) {
  for (int shift = 8 * (width - 1); shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

}  // namespace

Bytes NamespacePolicy::canonical_bytes() const {
  const bool keytrans = directory_mode == DirectoryMode::Keytrans;
  Bytes out;
  out.reserve(36 + namespace_.size() + (prev_policy_hash ? 64 : 0) + (keytrans ? 3 : 0));
  put_be(out, keytrans ? 2 : 1, 4);
  put_be(out, namespace_.size(), 4);
  out.insert(out.end(), namespace_.begin(), namespace_.end());
  put_be(out, policy_schema_version, 4);
  out.push_back(tag_of(security_level));
  out.push_back(tag_of(checkpoint_suite));
  out.push_back(tag_of(commitment_hash));
  out.push_back(tag_of(vrf_mode));
  put_be(out, effective_from, 8);
  put_be(out, created_at, 8);
  put_be(out, prev_policy_hash ? 64 : 0, 4);
  if (prev_policy_hash) out.insert(out.end(), prev_policy_hash->begin(), prev_policy_hash->end());
  if (keytrans) {
    out.push_back(tag_of(directory_mode));
    put_be(out, id_of(keytrans_suite), 2);
  }
  return out;
}

std::string NamespacePolicy::signer_name() const { return namespace_ + "/namespace-policy"; }

}  // namespace quorvantile_log::policy
