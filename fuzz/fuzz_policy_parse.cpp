// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Signed-policy envelope and record parsing, structure-aware: the input describes a record field
// by field (raw tag values, so unknown tags appear as often as known ones), its version, lengths
// and an optional truncation or trailing bytes, and is also tried as a raw envelope. Oracles: an
// accepted record re-encodes to canonical bytes of the documented length that parse back to the
// same policy, and equal the received record whenever that was already in canonical form.
#include <cstdlib>
#include <vector>

#include "policy/namespace_policy.hpp"

using namespace quorvantile_log;
using quorvantile_crypto::Bytes;

namespace {

class Input {
 public:
  Input(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  uint64_t be(int width) {
    uint64_t v = 0;
    for (int i = 0; i < width; ++i) v = v << 8 | byte();
    return v;
  }
  Bytes bytes(std::size_t n) {
    Bytes out;
    for (std::size_t i = 0; i < n; ++i) out.push_back(byte());
    return out;
  }

 private:
  const uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

void put(Bytes& out, uint64_t v, int width) {
  for (int s = 8 * (width - 1); s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}
void put_lp(Bytes& out, const Bytes& b) {
  put(out, b.size(), 4);
  out.insert(out.end(), b.begin(), b.end());
}

// Small raw values around the known tags.
uint8_t tag(Input& in) {
  const uint8_t b = in.byte();
  return b & 0x80 ? b : static_cast<uint8_t>(b % 7);
}

Bytes envelope_of(const Bytes& record, const Bytes& key, const Bytes& sig) {
  Bytes e;
  put(e, 1, 4);
  put_lp(e, record);
  put_lp(e, key);
  put_lp(e, sig);
  return e;
}

void check(const Bytes& envelope, const Bytes* record) {
  const auto parsed = policy::SignedPolicy::parse(envelope);
  if (!parsed) {
    if (parsed.error().render().empty()) std::abort();
    return;
  }
  const auto& p = parsed->policy;
  const Bytes canonical = p.canonical_bytes();
  const bool keytrans = p.directory_mode == DirectoryMode::Keytrans;
  if (canonical.size() != 36 + p.namespace_.size() + (p.prev_policy_hash ? 64 : 0) + (keytrans ? 3 : 0)) std::abort();
  const auto again = policy::SignedPolicy::parse(envelope_of(canonical, parsed->public_key, parsed->signature));
  if (!again || !(again->policy == p)) std::abort();
  if (!p.context_label()) std::abort();
  if (record && (*record)[3] == (keytrans ? 2 : 1) && *record != canonical) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  check(Bytes(data, data + size), nullptr);

  Input in(data, size);
  const uint8_t shape = in.byte();
  Bytes record;
  put(record, shape & 1 ? 2 : (shape & 2 ? 1 : in.byte()), 4);
  const std::size_t ns_len = in.byte() % 12;
  put_lp(record, in.bytes(ns_len));
  put(record, in.byte() % 3, 4);
  for (int i = 0; i < 4; ++i) record.push_back(tag(in));
  put(record, in.be(8), 8);
  put(record, in.be(8), 8);
  const uint8_t prev = in.byte();
  put_lp(record, Bytes(prev & 1 ? 64 : (prev & 2 ? 0 : prev % 70), prev));
  if (record[3] == 2) {
    record.push_back(tag(in));
    const uint8_t id = in.byte();
    put(record, id % 3 == 0 ? 0xF000 : (id % 3 == 1 ? id % 4 : static_cast<uint16_t>(in.be(2))), 2);
  }
  if (shape & 4) record.resize(in.byte() % (record.size() + 1));
  if (shape & 8) record.push_back(in.byte());
  Bytes envelope = envelope_of(record, in.bytes(in.byte() % 3), in.bytes(in.byte() % 3));
  if (shape & 16) envelope.resize(in.byte() % (envelope.size() + 1));
  if (shape & 32) envelope.push_back(in.byte());
  if (shape & 64) envelope[3] = in.byte();
  check(envelope, shape & (4 | 8 | 16 | 32 | 64) ? nullptr : &record);
  return 0;
}
