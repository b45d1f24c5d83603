// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "coniks/proofs.hpp"

#include <cstdio>
#include <string>

#include "coniks/read_lp.hpp"

namespace quorvantile_log::coniks {
namespace {

using quorvantile_crypto::ByteView;

Result<void> expect_tag(ByteView proof, uint8_t want, const char* kind) {
  if (proof.empty()) return std::unexpected(Error::malformed_coniks_proof("empty proof"));
  if (proof[0] != want) {
    char text[80];
    std::snprintf(text, sizeof text, "expected %s tag 0x%02x, got 0x%02x", kind, want, proof[0]);
    return std::unexpected(Error::malformed_coniks_proof(text));
  }
  return {};
}

// The path starts at `offset` of `rest` and must take everything up to the end.
Result<AuthPath> path_to_end(ByteView rest, std::size_t offset) {
  auto parsed = AuthPath::parse(rest.subspan(offset));
  if (!parsed) return std::unexpected(std::move(parsed.error()));
  if (offset + parsed->consumed != rest.size()) {
    return std::unexpected(Error::malformed_coniks_proof("trailing bytes after authentication path"));
  }
  return parsed->path;
}

}  // namespace

Result<LookupProof> LookupProof::parse(ByteView proof) {
  if (auto tag = expect_tag(proof, 0x01, "presence"); !tag) return std::unexpected(std::move(tag.error()));
  const ByteView rest = proof.subspan(1);
  auto vrf_proof = read_lp(rest, 0, "vrf proof");
  if (!vrf_proof) return std::unexpected(std::move(vrf_proof.error()));
  auto value = read_lp(rest, vrf_proof->next, "value");
  if (!value) return std::unexpected(std::move(value.error()));
  if (rest.size() - value->next < kOpeningSize) return std::unexpected(Error::malformed_coniks_proof("missing opening"));
  const ByteView opening = rest.subspan(value->next, kOpeningSize);
  auto path = path_to_end(rest, value->next + kOpeningSize);
  if (!path) return std::unexpected(std::move(path.error()));
  return LookupProof{vrf_proof->bytes, value->bytes, *path, opening};
}

Result<AbsenceProof> AbsenceProof::parse(ByteView proof) {
  if (auto tag = expect_tag(proof, 0x00, "absence"); !tag) return std::unexpected(std::move(tag.error()));
  const ByteView rest = proof.subspan(1);
  auto vrf_proof = read_lp(rest, 0, "vrf proof");
  if (!vrf_proof) return std::unexpected(std::move(vrf_proof.error()));
  auto path = path_to_end(rest, vrf_proof->next);
  if (!path) return std::unexpected(std::move(path.error()));
  return AbsenceProof{vrf_proof->bytes, *path};
}

}  // namespace quorvantile_log::coniks
