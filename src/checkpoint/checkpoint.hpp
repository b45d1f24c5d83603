// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Checkpoint bodies: origin, decimal tree size, base64 RFC 6962 root, then extension lines.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "error/error.hpp"
#include "note/verifier_key.hpp"
#include "text/text_lines.hpp"
#include "quorvantile_crypto/bytes.hpp"
#include "types/records.hpp"

namespace quorvantile_log::checkpoint {

inline constexpr std::size_t kRootLength = 32;

struct Checkpoint {
  std::string origin;
  uint64_t size = 0;
  quorvantile_crypto::Hash32 root{};
  text::TextLines extensions;

  // Parses a body; lines end at a line feed (a carriage return before it goes with it) and the
  // last line needs none. Failures are MalformedCheckpoint errors.
  static Result<Checkpoint> parse(std::string_view body);

  // Parses the signed note, verifies it against the keys, and only then parses its text as a
  // body: note and signature errors take precedence over body errors.
  static Result<Checkpoint> from_signed_note(std::string_view note_text, std::span<const note::VerifierKey> keys);

  CheckpointHead to_head() const&;
  CheckpointHead to_head() &&;
};

}  // namespace quorvantile_log::checkpoint
