// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "note/verify_signed_note.hpp"

#include "note/signed_note.hpp"
#include "note/verifier_key.hpp"

namespace quorvantile_log::note {

Result<uint32_t> verify_signed_note(std::string_view note_text, text::TextList vkeys) {
  const auto keys = parse_vkeys(vkeys);
  if (!keys) return std::unexpected(keys.error());
  const auto note = SignedNote::parse(note_text);
  if (!note) return std::unexpected(note.error());
  const auto verified = note->verify(*keys);
  if (!verified) return std::unexpected(verified.error());
  // At most 100 lines exist, so the count always fits.
  return static_cast<uint32_t>(verified->size());
}

}  // namespace quorvantile_log::note
