// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Signed notes: a UTF-8 text, a blank line, and signature lines "— name base64(key id || sig)".
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "error/error.hpp"
#include "note/verifier_key.hpp"
#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_log::note {

inline constexpr std::size_t kMaxSignatureLines = 100;

// One signature line.
struct Signature {
  std::string name;
  uint32_t key_id = 0;
  quorvantile_crypto::Bytes signature;  // at least one byte
};

class SignedNote {
 public:
  // Parses a note. Failures are MalformedNote errors; the first failing check decides.
  static Result<SignedNote> parse(std::string_view note);

  // Fails with "note text must end in newline" unless `text` is non-empty and ends in a line feed.
  static Result<SignedNote> create(std::string text, std::vector<Signature> signatures);

  // Verifies every line whose name and key id match a trusted key: any failure is
  // InvalidSignature, and at least one line must verify (else NoTrustedSignature). Returns the
  // verified lines in note order; a key that signed several lines counts each of them.
  Result<std::vector<std::reference_wrapper<const Signature>>> verify(std::span<const VerifierKey> keys) const;

  // The text that was signed, ending in its line feed.
  const std::string& text() const { return text_; }
  const std::vector<Signature>& signatures() const { return signatures_; }

 private:
  SignedNote(std::string text, std::vector<Signature> signatures)
      : text_(std::move(text)), signatures_(std::move(signatures)) {}

  std::string text_;
  std::vector<Signature> signatures_;
};

}  // namespace quorvantile_log::note
