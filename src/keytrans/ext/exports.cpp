// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "keytrans/ext/exports.hpp"

#include "keytrans/mod/verifier.hpp"

namespace quorvantile_log::keytrans {
namespace {

Result<SearchResult> to_search_result(Result<std::optional<Bytes>>&& value) {
  if (!value) return std::unexpected(std::move(value.error()));
  SearchResult result;
  result.present = value->has_value();
  result.value = std::move(*value);
  return result;
}

}  // namespace

Result<SearchResult> verify_search(std::string_view context, ByteView vrf_public, ByteView root, ByteView label,
                                   ByteView proof) {
  return to_search_result(keytrans_default_verifier(context, vrf_public).verify_search_bytes(root, label, proof));
}

Result<SearchResult> verify_search_suite(uint16_t suite_id, std::string_view context, ByteView vrf_public,
                                         ByteView root, ByteView label, ByteView proof) {
  auto verifier = keytrans_verifier_for_suite(suite_id, context, vrf_public);
  if (!verifier) return std::unexpected(std::move(verifier.error()));
  return to_search_result(verifier->verify_search_bytes(root, label, proof));
}

Result<void> verify_monitor(std::string_view context, ByteView vrf_public, ByteView root, ByteView label,
                            ByteView proof) {
  return keytrans_default_verifier(context, vrf_public).verify_monitor_bytes(root, label, proof);
}

Result<void> verify_monitor_suite(uint16_t suite_id, std::string_view context, ByteView vrf_public, ByteView root,
                                  ByteView label, ByteView proof) {
  auto verifier = keytrans_verifier_for_suite(suite_id, context, vrf_public);
  if (!verifier) return std::unexpected(std::move(verifier.error()));
  return verifier->verify_monitor_bytes(root, label, proof);
}

Result<SearchResult> verify_fixed_version(std::string_view context, ByteView vrf_public, ByteView root,
                                          ByteView label, ByteView proof) {
  return to_search_result(keytrans_default_verifier(context, vrf_public).verify_fixed_version_bytes(root, label, proof));
}

Result<SearchResult> verify_fixed_version_suite(uint16_t suite_id, std::string_view context, ByteView vrf_public,
                                                ByteView root, ByteView label, ByteView proof) {
  auto verifier = keytrans_verifier_for_suite(suite_id, context, vrf_public);
  if (!verifier) return std::unexpected(std::move(verifier.error()));
  return to_search_result(verifier->verify_fixed_version_bytes(root, label, proof));
}

}  // namespace quorvantile_log::keytrans
