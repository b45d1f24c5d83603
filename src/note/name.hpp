// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Key names of signature lines and verifier keys.
#include <string_view>

namespace quorvantile_log::note {

// A valid name is non-empty UTF-8 with no "+" and no character of the Unicode White_Space
// property. Bytes that are not UTF-8 make the name invalid: names are compared with the names of
// verifier keys, which are always UTF-8.
bool is_valid_name(std::string_view name);

}  // namespace quorvantile_log::note
