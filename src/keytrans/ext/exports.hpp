// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The work behind the six key-transparency exports: build the verifier (the experimental default
// suite, or the one the suite identifier names), verify, and present the optional value as a
// SearchResult.
#include <cstdint>
#include <string_view>

#include "error/error.hpp"
#include "quorvantile_crypto/bytes.hpp"
#include "types/records.hpp"

namespace quorvantile_log::keytrans {

using quorvantile_crypto::ByteView;

Result<SearchResult> verify_search(std::string_view context, ByteView vrf_public, ByteView root, ByteView label,
                                   ByteView proof);
Result<SearchResult> verify_search_suite(uint16_t suite_id, std::string_view context, ByteView vrf_public,
                                         ByteView root, ByteView label, ByteView proof);
Result<void> verify_monitor(std::string_view context, ByteView vrf_public, ByteView root, ByteView label,
                            ByteView proof);
Result<void> verify_monitor_suite(uint16_t suite_id, std::string_view context, ByteView vrf_public, ByteView root,
                                  ByteView label, ByteView proof);
Result<SearchResult> verify_fixed_version(std::string_view context, ByteView vrf_public, ByteView root,
                                          ByteView label, ByteView proof);
Result<SearchResult> verify_fixed_version_suite(uint16_t suite_id, std::string_view context, ByteView vrf_public,
                                                ByteView root, ByteView label, ByteView proof);

}  // namespace quorvantile_log::keytrans
