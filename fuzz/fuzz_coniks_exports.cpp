// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Drives coniks_verify_lookup and coniks_verify_absence through the C ABI. Most inputs are edits
// of real proofs from a small directory (flipped bytes, cuts, changed length prefixes and bitmap
// bits, inserted or removed siblings), so that parsing, VRF verification and root recomputation
// are all reached; the rest are raw bytes. A proof that verifies after an edit must carry the
// same VRF proof, path hashes and value as an original, so success is checked against that.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "../tests/unit/coniks_directory.hpp"
#include "quorvantile_log.h"

namespace {

using qv_test::coniks::Directory;
using qv_test::ref::Bytes;
using qv_test::ref::text;

struct Corpus {
  std::string ns = "fuzz.example";
  Directory dir{ns, Bytes(32, 0x21)};
  Bytes root;
  std::vector<std::pair<Bytes, Bytes>> lookups, absences;  // identity, proof
  Corpus() {
    for (int i = 0; i < 3; ++i) dir.add({text("id" + std::to_string(i)), Bytes(static_cast<std::size_t>(i) * 5, 'v'), Bytes(32, 9)});
    root = dir.root();
    for (int i = 0; i < 3; ++i) lookups.emplace_back(text("id" + std::to_string(i)), dir.lookup_proof(text("id" + std::to_string(i))));
    for (const char* id : {"", "absent", "zz"}) absences.emplace_back(text(id), dir.absence_proof(text(id)));
  }
};

const Corpus& corpus() {
  static const Corpus c;
  return c;
}

struct Input {
  const uint8_t* p;
  size_t n;
  uint8_t byte() {
    if (n == 0) return 0;
    --n;
    return *p++;
  }
  uint32_t u16() { return static_cast<uint32_t>(byte()) << 8 | byte(); }
};

RustBuffer raw(const Bytes& b) {
  RustCallStatus s{};
  return ffi_quorvantile_log_rustbuffer_from_bytes(ForeignBytes{static_cast<int32_t>(b.size()), b.data()}, &s);
}

RustBuffer seq(const Bytes& b) {
  return raw(qv_test::ref::cat({qv_test::ref::u32be(static_cast<uint32_t>(b.size())), b}));
}

void edit(Bytes& proof, Input& in) {
  const uint8_t op = in.byte();
  const std::size_t at = proof.empty() ? 0 : in.u16() % proof.size();
  switch (op % 8) {
    case 0:
      if (!proof.empty()) proof[at] ^= static_cast<uint8_t>(1u << (in.byte() % 8));
      break;
    case 1:
      proof.resize(at);
      break;
    case 2:
      proof.insert(proof.begin() + static_cast<std::ptrdiff_t>(at), in.byte());
      break;
    case 3:  // a length prefix (VRF proof at 1, value at 85 for an 80-byte VRF proof)
      if (proof.size() > 88) proof[(in.byte() & 1 ? 85 : 1) + in.byte() % 4] = in.byte();
      break;
    case 4:  // a bitmap bit, counted from the end of a path with `k` siblings
      if (proof.size() >= 32) {
        const std::size_t k = in.byte() % 4;
        if (proof.size() >= 32 + 64 * k) proof[proof.size() - 32 - 64 * k + in.byte() % 32] ^= static_cast<uint8_t>(1u << (in.byte() % 8));
      }
      break;
    case 5:  // a sibling hash more or less
      if (in.byte() & 1) {
        proof.insert(proof.end(), 64, in.byte());
      } else if (proof.size() >= 64) {
        proof.resize(proof.size() - 64);
      }
      break;
    case 6:
      if (!proof.empty()) proof[0] = in.byte();
      break;
    default:
      break;
  }
}

void release(RustCallStatus& s) {
  if (s.code != 0) {
    RustCallStatus f{};
    ffi_quorvantile_log_rustbuffer_free(s.error_buf, &f);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Corpus& c = corpus();
  Input in{data, size};
  const uint8_t mode = in.byte();
  const bool presence = mode & 1;
  const auto& sources = presence ? c.lookups : c.absences;
  const auto& [identity, original] = sources[(mode >> 1) % sources.size()];
  std::string ns = c.ns;
  Bytes root = c.root, vrf_public = c.dir.vrf_public(), proof;
  if ((mode >> 3) % 8 == 0) {
    proof.assign(in.p, in.p + in.n);  // raw bytes
  } else {
    proof = original;
    for (int edits = in.byte() % 4; edits >= 0; --edits) edit(proof, in);
    const uint8_t other = in.byte();
    if (other == 1) ns += "/";
    if (other == 2) root.pop_back();
    if (other == 3) root[in.byte() % 64] ^= 1;
    if (other == 4) vrf_public.pop_back();
  }
  RustCallStatus s{};
  if (presence) {
    RustBuffer out = uniffi_quorvantile_log_fn_func_coniks_verify_lookup(raw(text(ns)), seq(vrf_public), seq(root),
                                                                         seq(identity), seq(proof), &s);
    if (s.code == 0) {
      // A verified lookup returns a value and was given an authentic root.
      if (out.len < 4 || root != c.root) __builtin_trap();
      RustCallStatus f{};
      ffi_quorvantile_log_rustbuffer_free(out, &f);
    }
  } else {
    uniffi_quorvantile_log_fn_func_coniks_verify_absence(raw(text(ns)), seq(vrf_public), seq(root), seq(identity),
                                                         seq(proof), &s);
    if (s.code == 0 && root != c.root) __builtin_trap();
  }
  if (s.code == 2) __builtin_trap();  // no input is an internal failure
  release(s);
  return 0;
}
