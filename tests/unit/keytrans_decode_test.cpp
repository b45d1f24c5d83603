// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Decoding of the key-transparency proofs: every decoding message, each from a proof cut short or
// extended at the field it names, with the offset it reports.
#include <gtest/gtest.h>

#include "keytrans/tls/proof.hpp"
#include "kt_directory.hpp"

namespace quorvantile_log::keytrans {
namespace {

using qv_kt::Writer;

const std::string kMalformed = "malformed keytrans structure: ";

// A search proof written field by field, recording where each field starts; the prefix proof's
// content can be replaced whole.
struct Layout {
  std::size_t nc = 64;
  Bytes prefix_content;  // empty: the default one below
  Bytes bytes;
  std::map<std::string, std::size_t> at;

  Layout& build() {
    Writer w;
    auto mark = [&](const std::string& name) { at.emplace(name, w.out.size()); };
    mark("Proof.kind");
    w.u8(1);
    mark("Proof.entry_index");
    w.u64(0);
    mark("Proof.tree_size");
    w.u64(1);
    mark("Proof.timestamp");
    w.u64(7);
    mark("Proof.prefix_root");
    w.raw(Bytes(32, 0xAA));
    mark("Proof.log_inclusion");
    w.u16(32).raw(Bytes(32, 0xBB));
    mark("SearchProof.greatest_version");
    w.u8(1);
    mark("SearchProof.greatest_version.value");
    w.u32(0);
    mark("Ladder.count");
    w.u16(1);
    mark("LadderStep.version");
    w.u32(0);
    mark("LadderStep.vrf_proof");
    w.u16(80);
    mark("LadderStep.vrf_proof.body");
    w.raw(Bytes(80, 0xCC));
    if (prefix_content.empty()) {
      Writer p;
      p.u8(2).u8(1).u8(1).u16(32).raw(Bytes(32, 0xDD));  // inclusion, depth 1, one element
      prefix_content = p.out;
    }
    mark("LadderStep.prefix_proof");
    w.u16(prefix_content.size());
    mark("LadderStep.prefix_proof.body");
    w.raw(prefix_content);
    mark("LadderStep.has_commitment");
    w.u8(1);
    mark("LadderStep.commitment");
    w.raw(Bytes(nc, 0xEE));
    mark("RevealedValue.present");
    w.u8(1);
    mark("RevealedValue.value");
    w.u32(3);
    mark("RevealedValue.value.body");
    w.raw(to_bytes("abc"));
    mark("RevealedValue.opening");
    w.u8(32);
    mark("RevealedValue.opening.body");
    w.raw(Bytes(32, 0x11));
    bytes = w.out;
    return *this;
  }
  static Bytes to_bytes(std::string_view s) { return Bytes(s.begin(), s.end()); }
};

std::string decode(const Bytes& bytes, std::size_t nc = 64) {
  auto r = decode_search_proof(bytes, nc);
  return r ? "ok" : r.error().render();
}

TEST(KeytransDecode, TheLayoutDecodesToWhatWasWritten) {
  Layout l;
  l.build();
  auto p = decode_search_proof(l.bytes, 64);
  ASSERT_TRUE(p) << p.error().render();
  EXPECT_EQ(p->head.tree_size, 1u);
  EXPECT_EQ(p->head.timestamp, 7u);
  ASSERT_EQ(p->head.log_inclusion.size(), 1u);
  EXPECT_EQ(p->head.log_inclusion[0][31], 0xBB);
  EXPECT_EQ(p->greatest_version, 0u);
  ASSERT_EQ(p->ladder.size(), 1u);
  const LadderStep& s = p->ladder[0];
  EXPECT_EQ(s.vrf_proof.size(), 80u);
  EXPECT_EQ(s.prefix_proof.result.result_type, PrefixResultType::Inclusion);
  EXPECT_EQ(s.prefix_proof.result.depth, 1);
  EXPECT_FALSE(s.prefix_proof.result.leaf);
  ASSERT_TRUE(s.commitment);
  EXPECT_EQ(s.commitment->size(), 64u);
  ASSERT_TRUE(p->revealed);
  EXPECT_EQ(Bytes(p->revealed->value.begin(), p->revealed->value.end()), Layout::to_bytes("abc"));
  EXPECT_EQ(p->revealed->opening.size(), 32u);
  // The proof's byte fields are views into the proof, not copies.
  EXPECT_EQ(s.vrf_proof.data(), l.bytes.data() + l.at["LadderStep.vrf_proof.body"]);
}

// Cut one byte into the field (or at its start for one-byte fields): the field's "need" message
// with its own offset.
TEST(KeytransDecode, ProofCutInsideAFieldNamesItAndItsOffset) {
  Layout l;
  l.build();
  struct Row {
    const char* field;  // layout mark where the cut falls
    const char* name;   // field name in the message
    std::size_t width;
  };
  const Row rows[] = {
      {"Proof.kind", "Proof.kind", 1},
      {"Proof.entry_index", "Proof.entry_index", 8},
      {"Proof.tree_size", "Proof.tree_size", 8},
      {"Proof.timestamp", "Proof.timestamp", 8},
      {"Proof.prefix_root", "Proof.prefix_root", 32},
      {"Proof.log_inclusion", "Proof.log_inclusion", 2},
      {"SearchProof.greatest_version", "SearchProof.greatest_version", 1},
      {"SearchProof.greatest_version.value", "SearchProof.greatest_version", 4},
      {"Ladder.count", "Ladder.count", 2},
      {"LadderStep.version", "LadderStep.version", 4},
      {"LadderStep.vrf_proof", "LadderStep.vrf_proof", 2},
      {"LadderStep.vrf_proof.body", "LadderStep.vrf_proof", 80},
      {"LadderStep.prefix_proof", "LadderStep.prefix_proof", 2},
      {"LadderStep.prefix_proof.body", "LadderStep.prefix_proof", 37},
      {"LadderStep.has_commitment", "LadderStep.has_commitment", 1},
      {"LadderStep.commitment", "LadderStep.commitment", 64},
      {"RevealedValue.present", "RevealedValue.present", 1},
      {"RevealedValue.value", "RevealedValue.value", 4},
      {"RevealedValue.value.body", "RevealedValue.value", 3},
      {"RevealedValue.opening", "RevealedValue.opening", 1},
      {"RevealedValue.opening.body", "RevealedValue.opening", 32},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.field);
    const std::size_t start = l.at.at(row.field);
    const std::size_t keep = row.width == 1 ? 0 : 1;
    const Bytes cut(l.bytes.begin(), l.bytes.begin() + static_cast<long>(start + keep));
    EXPECT_EQ(decode(cut), kMalformed + row.name + ": need " + std::to_string(row.width) + " bytes at offset " +
                               std::to_string(start) + ", only " + std::to_string(keep) + " available");
  }
}

// Inside the prefix proof the offsets are those within the nested bytes.
TEST(KeytransDecode, NestedFieldsReportOffsetsWithinTheirOwnBytes) {
  auto content = [](std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
  };
  const Bytes hash(32, 0x42);
  const Bytes commitment64(64, 0x43);
  const Bytes no_elements = {0x00, 0x00};
  struct Row {
    const char* name;
    Bytes prefix;
    std::string want;
  };
  const std::vector<Row> rows = {
      {"results longer than the prefix proof", {0x05, 0x01, 0x00}, "PrefixProof.results: need 5 bytes at offset 1, only 2 available"},
      {"results empty", content({{0x00}, no_elements}), "PrefixSearchResult.result_type: need 1 bytes at offset 0, only 0 available"},
      {"depth missing", content({{0x01, 0x01}, no_elements}), "PrefixSearchResult.depth: need 1 bytes at offset 1, only 0 available"},
      {"leaf output short", content({{0x0B, 0x02}, Bytes(10, 1), no_elements}),
       "PrefixLeaf.vrf_output: need 32 bytes at offset 1, only 10 available"},
      {"leaf commitment short", content({{0x31, 0x02}, hash, Bytes(16, 1), no_elements}),
       "PrefixLeaf.commitment: need 64 bytes at offset 33, only 16 available"},
      {"a second result", content({{0x03, 0x01, 0x00, 0x01}, no_elements}),
       "PrefixProof.results (expected exactly one result): 1 trailing byte(s) after struct"},
      {"unknown result type", content({{0x02, 0x04, 0x00}, no_elements}), "unknown PrefixSearchResultType 4"},
      {"elements missing", {0x02, 0x01, 0x00}, "PrefixProof.elements: need 2 bytes at offset 3, only 0 available"},
      {"elements cut", content({{0x02, 0x01, 0x00, 0x00, 0x40}, hash}),
       "PrefixProof.elements: need 64 bytes at offset 5, only 32 available"},
      {"elements of 33 bytes", content({{0x02, 0x01, 0x00, 0x00, 0x21}, hash, {0x00}}),
       "PrefixProof.elements: 33 bytes is not a multiple of the 32-byte hash size"},
      {"a byte after the elements", content({{0x02, 0x01, 0x00}, no_elements, {0x00}}),
       "PrefixProof: 1 trailing byte(s) after struct"},
      {"leaf read only for type 2", content({{0x02, 0x03, 0x00}, no_elements}), "ok"},
      {"a full leaf", content({{0x62, 0x02}, hash, commitment64, {0x00}, no_elements}), "ok"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Layout l;
    l.prefix_content = row.prefix;
    l.build();
    EXPECT_EQ(decode(l.bytes), row.want == "ok" ? "ok" : kMalformed + row.want);
  }
}

TEST(KeytransDecode, FlagsKindsAndTrailingBytes) {
  Layout l;
  l.build();
  auto with = [&](const char* field, uint8_t value) {
    Bytes b = l.bytes;
    b[l.at.at(field)] = value;
    return b;
  };
  Bytes longer = l.bytes;
  longer.push_back(0);
  Bytes empty_log = l.bytes;  // log_inclusion of 0 bytes is valid
  const std::size_t li = l.at.at("Proof.log_inclusion");
  empty_log.erase(empty_log.begin() + static_cast<long>(li), empty_log.begin() + static_cast<long>(li + 34));
  empty_log.insert(empty_log.begin() + static_cast<long>(li), {0x00, 0x00});
  Bytes log33 = l.bytes;
  log33[li + 1] = 33;
  log33.insert(log33.begin() + static_cast<long>(li + 2 + 32), 0x00);

  const std::vector<std::pair<Bytes, std::string>> rows = {
      {{}, "Proof.kind: need 1 bytes at offset 0, only 0 available"},
      {with("Proof.kind", 3), "expected search proof (kind 1), got kind 3"},
      {with("SearchProof.greatest_version", 2), "SearchProof.greatest_version.present must be 0 or 1, got 2"},
      {with("LadderStep.has_commitment", 2), "LadderStep.has_commitment must be 0 or 1, got 2"},
      {with("RevealedValue.present", 7), "RevealedValue.present must be 0 or 1, got 7"},
      {longer, "KeytransSearchProof: 1 trailing byte(s) after struct"},
      {log33, "Proof.log_inclusion: 33 bytes is not a multiple of the 32-byte hash size"},
      {empty_log, "ok"},
  };
  for (const auto& [bytes, want] : rows) {
    SCOPED_TRACE(want);
    EXPECT_EQ(decode(bytes), want == "ok" ? "ok" : kMalformed + want);
  }
  // The same bytes under a 32-byte commitment length read the commitment's second half as the
  // revealed value's presence byte.
  EXPECT_EQ(decode(l.bytes, 32), kMalformed + "RevealedValue.present must be 0 or 1, got 238");
}

TEST(KeytransDecode, MonitorAndFixedVersionProofs) {
  qv_kt::Step step;
  step.vrf_proof = Bytes(80, 1);
  step.result_type = 3;
  step.commitment = Bytes(32, 2);
  qv_kt::MonitorProof m;
  m.head.tree_size = 1;
  m.version = 9;
  m.ladder = {step, step};
  Bytes mb = qv_kt::encode(m);
  auto monitor = decode_monitor_proof(mb, 32);
  ASSERT_TRUE(monitor);
  EXPECT_EQ(monitor->version, 9u);
  EXPECT_EQ(monitor->ladder.size(), 2u);
  mb.push_back(0);
  EXPECT_EQ(decode_monitor_proof(mb, 32).error().render(), kMalformed + "KeytransMonitorProof: 1 trailing byte(s) after struct");
  EXPECT_EQ(decode_monitor_proof(Bytes{1}, 32).error().render(), kMalformed + "expected monitor proof (kind 3), got kind 1");
  m.ladder.clear();
  auto none = decode_monitor_proof(qv_kt::encode(m), 32);
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->ladder.empty());
  Bytes cut = qv_kt::encode(m);
  cut.pop_back();
  EXPECT_EQ(decode_monitor_proof(cut, 32).error().render(), kMalformed + "Ladder.count: need 2 bytes at offset 63, only 1 available");

  qv_kt::FixedVersionProof f;
  f.head.tree_size = 1;
  f.step = step;
  Bytes fb = qv_kt::encode(f);
  auto fixed = decode_fixed_version_proof(fb, 32);
  ASSERT_TRUE(fixed);
  EXPECT_FALSE(fixed->revealed);
  fb.push_back(0);
  EXPECT_EQ(decode_fixed_version_proof(fb, 32).error().render(),
            kMalformed + "KeytransFixedVersionProof: 1 trailing byte(s) after struct");
  EXPECT_EQ(decode_fixed_version_proof(Bytes{3}, 32).error().render(),
            kMalformed + "expected fixed-version proof (kind 2), got kind 3");
}

TEST(KeytransEncode, VectorBounds) {
  Bytes out;
  EXPECT_TRUE(write_vec_u8(out, Bytes(255, 1), "X.y"));
  EXPECT_EQ(out.size(), 256u);
  EXPECT_EQ(out[0], 255);
  EXPECT_EQ(write_vec_u8(out, Bytes(256, 1), "X.y").error().render(),
            kMalformed + "X.y: 256 bytes exceeds the <0..2^8-1> vector bound (255)");
  EXPECT_EQ(*UpdateValue::encode(Layout::to_bytes("hi")), (Bytes{0, 0, 0, 2, 'h', 'i'}));
  EXPECT_EQ(*UpdateValue::encode({}), (Bytes{0, 0, 0, 0}));
}

}  // namespace
}  // namespace quorvantile_log::keytrans
