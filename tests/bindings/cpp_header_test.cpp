// The C++ layer over the C interface: every function through the shared call table, typed
// results and errors, and the decoding of what the library hands back.
#include <gtest/gtest.h>

#include <set>

#include "call_table.hpp"
#include "quorvantile_witness.hpp"
#include "test_support.hpp"

namespace {

namespace ql = quorvantile_log;
namespace qw = quorvantile_witness;
using qv_bindings::json;

json table_file() { return qv_test::read_json(qv_test::data_dir() / "bindings" / "calls.json"); }
json call_table() { return table_file()["calls"]; }

TEST(CppHeader, ContractVersion) { EXPECT_EQ(ql::contract_version(), 30u); }

TEST(CppHeader, EveryCallTableRowHasItsExpectedOutcome) {
  for (const auto& row : call_table()) {
    const json got = qv_bindings::run(row);
    EXPECT_EQ(got["outcome"], row["expect"]) << row["function"] << " -> " << got.dump().substr(0, 300);
    if (row.contains("kind")) {
      EXPECT_EQ(got["kind"], row["kind"]) << row["function"] << " -> " << got.dump().substr(0, 300);
    }
  }
}

TEST(CppHeader, EveryFunctionHasAValidAndAnInvalidRow) {
  // Held in a local: a range-for over a member of a temporary would read a destroyed object.
  const json file = table_file();
  std::set<std::string> valid, invalid;
  for (const auto& row : file["calls"])
    (row["expect"] == "ok" ? valid : invalid).insert(row["function"].get<std::string>());
  for (const auto& name : file["total"]) invalid.insert(name.get<std::string>());
  for (const auto& [name, fn] : qv_bindings::functions()) {
    EXPECT_TRUE(valid.contains(name)) << name << " has no valid row";
    EXPECT_TRUE(invalid.contains(name)) << name << " has no invalid row";
  }
}

std::string demo(const char* name) { return qv_test::read_file(std::filesystem::path(QV_DEMO_DATA_DIR) / name); }

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    if (end > start) out.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

TEST(CppHeader, TypedResults) {
  const std::string note = demo("checkpoint.note");
  const auto keys = lines(demo("checkpoint.vkeys"));
  const auto head = ql::checkpoint_verify(note, keys);
  ASSERT_TRUE(head) << head.error().message;
  EXPECT_EQ(head->origin, "demo.example/log");
  EXPECT_EQ(head->size, 7u);
  EXPECT_EQ(head->root.size(), 32u);
  EXPECT_TRUE(head->extensions.empty());
  const auto count = ql::verify_signed_note(note, keys);
  ASSERT_TRUE(count);
  EXPECT_EQ(*count, 2u);
}

TEST(CppHeader, VerificationErrorsCarryTheLibraryMessage) {
  const std::vector<uint8_t> h(32, 0);
  const auto r = ql::verify_inclusion(5, 5, h, std::vector<std::vector<uint8_t>>{}, h);
  ASSERT_FALSE(r);
  EXPECT_TRUE(r.error().is(ql::VerifyError::Verification));
  EXPECT_EQ(r.error().kind, ql::ErrorKind::LeafIndexBeyondSize);
  EXPECT_EQ(r.error().message, "leaf index 5 is beyond tree size 5");
}

// Every example message of the failure-kind table has its kind; a message of no known form has
// the fallback kind.
TEST(CppHeader, EveryExampleMessageHasItsKind) {
  const json table = qv_test::read_json(qv_test::data_dir() / ".." / ".." / "tools" / "bindgen" / "error_kinds.json");
  for (const auto& row : table["kinds"])
    for (const auto& example : row["examples"])
      EXPECT_EQ(ql::kind_name(ql::error_kind(example.get<std::string>())), row["kind"]) << example;
  for (const char* unknown : {"", "Root mismatch: capitalised", "policy", "opening must be"})
    EXPECT_EQ(ql::kind_name(ql::error_kind(unknown)), table["fallback"]) << unknown;
}

// The witness header shares the log header's records and Error, and reports its own variants.
TEST(CppHeader, WitnessHeaderSharesRecordsAndReportsVariants) {
  static_assert(std::is_same_v<qw::CheckpointHead, ql::CheckpointHead>);
  static_assert(std::is_same_v<qw::Result<int>, ql::Result<int>>);
  const std::string note = demo("witness/arche2025h1.checkpoint");
  const auto ok = qw::checkpoint_verify_cosigned(note, demo("witness/arche2025h1_3of4.policy"));
  ASSERT_TRUE(ok) << ok.error().message;
  const ql::CheckpointHead& head = ok->checkpoint;
  EXPECT_EQ(head.root.size(), 32u);
  EXPECT_EQ(ok->counted_witnesses.size(), 4u);

  const struct {
    std::string policy;
    qw::WitnessError variant;
    ql::ErrorKind kind;
  } cases[] = {
      {demo("witness/arche2025h1_unmet.policy"), qw::WitnessError::Verification, ql::ErrorKind::QuorumNotMet},
      {"quorum none\nquorum none\n", qw::WitnessError::MalformedPolicy, ql::ErrorKind::MalformedWitnessPolicy},
  };
  for (const auto& c : cases) {
    const auto failed = qw::checkpoint_verify_cosigned(note, c.policy);
    ASSERT_FALSE(failed);
    EXPECT_TRUE(failed.error().is(c.variant)) << failed.error().message;
    EXPECT_EQ(failed.error().kind, c.kind) << failed.error().message;
  }
  const auto malformed = qw::checkpoint_verify_cosigned("not a note", demo("witness/arche2025h1_3of4.policy"));
  ASSERT_FALSE(malformed);
  EXPECT_TRUE(malformed.error().is(qw::WitnessError::MalformedInput)) << malformed.error().message;
  EXPECT_EQ(malformed.error().kind, ql::ErrorKind::MalformedNote);
}

// What the library might hand back, decoded by the layer: (status code, error payload, result
// payload) -> outcome.
struct Reply {
  const char* name;
  int8_t code;
  std::vector<uint8_t> error;
  std::vector<uint8_t> result;
  const char* outcome;
  const char* message;
};

TEST(CppHeader, RepliesDecode) {
  using B = std::vector<uint8_t>;
  const std::vector<Reply> replies = {
      {"internal failure", 2, B{'b', 'o', 'o', 'm'}, {}, "internal", "boom"},
      {"verify error", 1, B{0, 0, 0, 1, 0, 0, 0, 2, 'n', 'o'}, {}, "verification", "no"},
      {"verify error with an unknown variant", 1, B{0, 0, 0, 2, 0, 0, 0, 0}, {}, "internal", "undecodable error"},
      {"verify error with junk", 1, B{0, 0, 0, 1, 0, 0, 0, 0, 9}, {}, "internal", "undecodable error"},
      {"cancelled", 3, {}, {}, "internal", "unexpected call status 3"},
      {"bytes", 0, {}, B{0, 0, 0, 2, 0xAA, 0xBB}, "ok", ""},
      {"bytes with junk", 0, {}, B{0, 0, 0, 1, 0xAA, 0xBB}, "internal", "undecodable result"},
      {"bytes cut short", 0, {}, B{0, 0, 0, 3, 0xAA}, "internal", "undecodable result"},
      {"huge count", 0, {}, B{0x7F, 0xFF, 0xFF, 0xFF}, "internal", "undecodable result"},
      {"negative count", 0, {}, B{0xFF, 0xFF, 0xFF, 0xFF}, "internal", "undecodable result"},
  };
  for (const auto& reply : replies) {
    RustCallStatus status{};
    status.code = reply.code;
    using Abi = ql::detail::Abi;
    if (!reply.error.empty()) status.error_buf = ql::detail::make_buffer<Abi>(reply.error)->release();
    const RustBuffer returned =
        reply.result.empty() ? RustBuffer{0, 0, nullptr} : ql::detail::make_buffer<Abi>(reply.result)->release();
    const auto got = ql::detail::finish<ql::detail::Bytes, Abi>(status, returned);
    const json plain = got ? json{{"outcome", "ok"}} : qv_bindings::outcome(got.error());
    EXPECT_EQ(plain["outcome"], reply.outcome) << reply.name;
    if (!got) {
      EXPECT_EQ(got.error().message, reply.message) << reply.name;
    } else {
      EXPECT_EQ(*got, (B{0xAA, 0xBB})) << reply.name;
    }
  }
}

TEST(CppHeader, EnumerationAndRecordDecoding) {
  using B = std::vector<uint8_t>;
  const std::vector<std::pair<B, bool>> cases = {
      {B{0, 0, 0, 1}, true}, {B{0, 0, 0, 2}, true}, {B{0, 0, 0, 0}, false}, {B{0, 0, 0, 3}, false}};
  for (const auto& [bytes, ok] : cases) {
    ql::detail::Reader r{bytes};
    const auto v = ql::detail::Enum<ql::CommitmentHash>::read(r);
    EXPECT_EQ(r.done(), ok) << static_cast<int>(v);
  }
  // SearchResult {present: true, value: Some([7])} round-trips through the record codec.
  const ql::SearchResult want{true, std::vector<uint8_t>{7}};
  ql::detail::Writer w;
  ASSERT_TRUE(ql::detail::put<ql::detail::Record<ql::SearchResult>>(w, want));
  EXPECT_EQ(w.out, (B{1, 1, 0, 0, 0, 1, 7}));
  ql::detail::Reader r{w.out};
  const auto got = ql::detail::Record<ql::SearchResult>::read(r);
  EXPECT_TRUE(r.done());
  EXPECT_EQ(got.present, want.present);
  EXPECT_EQ(got.value, want.value);
}

}  // namespace
