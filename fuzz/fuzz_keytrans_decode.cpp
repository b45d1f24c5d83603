// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The three key-transparency proof decoders under both commitment lengths. Byte 0 picks the
// commitment length (bit 0) and how the rest is read (bit 1): as proof bytes directly, or as a
// recipe from which a structurally valid proof of the chosen kind is written, which must then
// decode and report what was written (so the fuzzer reaches deep fields instead of stopping at
// the first length).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "keytrans/tls/proof.hpp"

using namespace quorvantile_log::keytrans;

namespace {

// Draws values from the recipe; zeros once it runs out.
struct Recipe {
  const uint8_t* p;
  std::size_t n;
  uint8_t byte() {
    if (n == 0) return 0;
    --n;
    return *p++;
  }
  uint64_t uint(int bytes) {
    uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) v = v << 8 | byte();
    return v;
  }
};

struct Out {
  std::vector<uint8_t> b;
  void be(uint64_t v, int w) {
    for (int i = w - 1; i >= 0; --i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  void fill(Recipe& r, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) b.push_back(r.byte());
  }
  void vec(Recipe& r, int w, std::size_t n) {
    be(n, w);
    fill(r, n);
  }
};

void head(Out& o, Recipe& r) {
  o.be(r.uint(8), 8);
  o.be(r.uint(8), 8);
  o.be(r.uint(8), 8);
  o.fill(r, 32);
  o.vec(r, 2, 32 * (r.byte() % 4));
}

void step(Out& o, Recipe& r, std::size_t nc) {
  o.be(r.uint(4), 4);
  o.vec(r, 2, r.byte() % 90);
  Out results;
  const uint8_t type = static_cast<uint8_t>(1 + r.byte() % 3);
  results.be(type, 1);
  if (type == 2) results.fill(r, 32 + nc);
  results.be(r.byte(), 1);
  Out prefix;
  prefix.be(results.b.size(), 1);
  prefix.b.insert(prefix.b.end(), results.b.begin(), results.b.end());
  prefix.vec(r, 2, 32 * (r.byte() % 5));
  o.be(prefix.b.size(), 2);
  o.b.insert(o.b.end(), prefix.b.begin(), prefix.b.end());
  if (r.byte() & 1) {
    o.be(1, 1);
    o.fill(r, nc);
  } else {
    o.be(0, 1);
  }
}

void revealed(Out& o, Recipe& r) {
  if (r.byte() & 1) {
    o.be(1, 1);
    o.vec(r, 4, r.byte() % 40);
    o.vec(r, 1, r.byte() % 40);
  } else {
    o.be(0, 1);
  }
}

std::vector<uint8_t> build(uint8_t kind, Recipe& r, std::size_t nc) {
  Out o;
  o.be(kind, 1);
  head(o, r);
  const unsigned steps = r.byte() % 4;
  if (kind == 1) {
    if (r.byte() & 1) {
      o.be(1, 1);
      o.be(r.uint(4), 4);
    } else {
      o.be(0, 1);
    }
  }
  if (kind == 3) o.be(r.uint(4), 4);
  if (kind != 2) o.be(steps, 2);
  for (unsigned i = 0; i < (kind == 2 ? 1u : steps); ++i) step(o, r, nc);
  if (kind != 3) revealed(o, r);
  return o.b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::size_t nc = (data[0] & 1) ? 64 : 32;
  const ByteView rest(data + 1, size - 1);
  if ((data[0] & 2) == 0) {
    (void)decode_search_proof(rest, nc);
    (void)decode_monitor_proof(rest, nc);
    (void)decode_fixed_version_proof(rest, nc);
    return 0;
  }
  Recipe recipe{rest.data(), rest.size()};
  const uint8_t kind = static_cast<uint8_t>(1 + (data[0] >> 2) % 3);
  const std::vector<uint8_t> proof = build(kind, recipe, nc);
  bool ok = true;
  if (kind == 1) ok = decode_search_proof(proof, nc).has_value();
  if (kind == 2) ok = decode_fixed_version_proof(proof, nc).has_value();
  if (kind == 3) ok = decode_monitor_proof(proof, nc).has_value();
  if (!ok) std::abort();
  // One byte more is always refused.
  std::vector<uint8_t> longer = proof;
  longer.push_back(0);
  if (kind == 1 && decode_search_proof(longer, nc)) std::abort();
  if (kind == 3 && decode_monitor_proof(longer, nc)) std::abort();
  return 0;
}
