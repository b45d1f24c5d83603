// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The six posture enumerations on the wire: each tag maps to one variant (KeytransSuite's wire
// ids are not in its declaration order), each variant back to its tag, and every variant has the
// name that messages print.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "types/records.hpp"

namespace quorvantile_log::policy {

std::optional<SecurityLevel> security_level_from_tag(uint8_t tag);
std::optional<CheckpointSuite> checkpoint_suite_from_tag(uint8_t tag);
std::optional<CommitmentHash> commitment_hash_from_tag(uint8_t tag);
std::optional<VrfMode> vrf_mode_from_tag(uint8_t tag);
std::optional<DirectoryMode> directory_mode_from_tag(uint8_t tag);
std::optional<KeytransSuite> keytrans_suite_from_id(uint16_t id);

uint8_t tag_of(SecurityLevel v);
uint8_t tag_of(CheckpointSuite v);
uint8_t tag_of(CommitmentHash v);
uint8_t tag_of(VrfMode v);
uint8_t tag_of(DirectoryMode v);
uint16_t id_of(KeytransSuite v);

std::string_view name_of(SecurityLevel v);
std::string_view name_of(CheckpointSuite v);
std::string_view name_of(CommitmentHash v);
std::string_view name_of(VrfMode v);
std::string_view name_of(DirectoryMode v);
std::string_view name_of(KeytransSuite v);

// Tags and ids as messages print them: lowercase hexadecimal, zero-padded to `digits`.
std::string lower_hex(unsigned value, int digits);

}  // namespace quorvantile_log::policy
