// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The work of the verify_signed_note export.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "error/error.hpp"
#include "text/text_list.hpp"

namespace quorvantile_log::note {

// Parses the keys (first, so a bad key is reported even for a malformed note), parses the note,
// verifies it and returns the number of verified signature lines.
Result<uint32_t> verify_signed_note(std::string_view note_text, text::TextList vkeys);

}  // namespace quorvantile_log::note
