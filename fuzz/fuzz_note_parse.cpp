// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Signed-note parsing of arbitrary bytes. A note that parses is rebuilt from its parts (text,
// blank line, one "— name base64(key id || signature)" line each) and must give back the input
// byte for byte, since every part has exactly one accepted spelling.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "encoding/base64.hpp"
#include "note/name.hpp"
#include "note/signed_note.hpp"

using namespace quorvantile_log;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto note = note::SignedNote::parse(input);
  if (!note) {
    (void)note.error().render();
    return 0;
  }
  if (note->text().empty() || note->text().back() != '\n') std::abort();
  if (note->signatures().empty() || note->signatures().size() > note::kMaxSignatureLines) std::abort();

  std::string rebuilt = note->text() + "\n";
  for (const note::Signature& sig : note->signatures()) {
    if (!note::is_valid_name(sig.name) || sig.signature.empty()) std::abort();
    std::vector<uint8_t> blob = {static_cast<uint8_t>(sig.key_id >> 24), static_cast<uint8_t>(sig.key_id >> 16),
                                 static_cast<uint8_t>(sig.key_id >> 8), static_cast<uint8_t>(sig.key_id)};
    blob.insert(blob.end(), sig.signature.begin(), sig.signature.end());
    rebuilt += "\xE2\x80\x94 " + sig.name + " " + encoding::base64_encode(blob) + "\n";
  }
  if (rebuilt != input) std::abort();
  return 0;
}
