// The witness exports called as a C client would, on real and published fixtures: valid inputs,
// tampered ones, quorums not met, and malformed argument buffers, which must be reported as the
// log library reports them.
#include <gtest/gtest.h>

#include <functional>

#include "quorvantile_log.h"
#include "witness_support.hpp"

namespace qv_witness_abi {
namespace {

// Changes one base64 character inside the signature of the line for `key_name`.
std::string tamper_line(std::string note, const std::string& key_name) {
  const auto line = note.find("\xe2\x80\x94 " + key_name + " ");
  if (line == std::string::npos) throw std::runtime_error("no line for " + key_name);
  const auto pos = line + 5 + key_name.size() + 40;
  note[pos] = note[pos] == 'A' ? 'B' : 'A';
  return note;
}

std::string drop_line(std::string note, const std::string& key_name) {
  const auto line = note.find("\xe2\x80\x94 " + key_name + " ");
  if (line == std::string::npos) throw std::runtime_error("no line for " + key_name);
  note.erase(line, note.find('\n', line) + 1 - line);
  return note;
}

struct Outcome {
  int8_t code = 0;
  std::string message;
  Bytes value;
  int32_t variant = 0;
};

Outcome verify_cosigned(const std::string& note, const std::string& policy) {
  RustCallStatus status{};
  const RustBuffer out = uniffi_quorvantile_witness_fn_func_checkpoint_verify_cosigned(text_arg(note), text_arg(policy),
                                                                                     &status);
  if (status.code != 0) {
    EXPECT_EQ(out.data, nullptr);
    EXPECT_EQ(out.len, 0u);
    const int8_t code = status.code;
    Failure failure = status_failure(status);
    return {code, std::move(failure.message), {}, failure.variant};
  }
  return {0, "", take(out)};
}

TEST(WitnessExports, RealCheckpointUnderKOfNPolicies) {
  const RealCheckpoint real = real_checkpoint();
  ASSERT_EQ(real.witnesses.size(), 4u);
  const std::string first = real.witnesses[0].first;
  struct Case {
    std::string label, note, k;
    std::vector<std::string> counted;
    std::vector<std::pair<std::string, std::string>> rejected;
    std::string error;  // empty: verifies
  };
  const Case cases[] = {
      {"3 of 4", real.note, "3", {"w1", "w2", "w3", "w4"}, {}, ""},
      {"all of 4", real.note, "all", {"w1", "w2", "w3", "w4"}, {}, ""},
      {"one cosignature tampered, 3 of 4", tamper_line(real.note, first), "3", {"w2", "w3", "w4"},
       {{"w1", "invalid signature"}}, ""},
      {"one cosignature tampered, all of 4", tamper_line(real.note, first), "all", {}, {},
       "witness quorum \"g\" not met: 3 witnesses counted"},
      {"two cosignatures missing, 3 of 4", drop_line(drop_line(real.note, first), real.witnesses[3].first), "3", {}, {},
       "witness quorum \"g\" not met: 2 witnesses counted"},
  };
  for (const Case& c : cases) {
    const Outcome got = verify_cosigned(c.note, k_of_n_policy(real, c.k));
    if (!c.error.empty()) {
      EXPECT_EQ(got.code, 1) << c.label;
      EXPECT_EQ(got.message, c.error) << c.label;
      continue;
    }
    ASSERT_EQ(got.code, 0) << c.label << ": " << got.message;
    Decoder d(got.value);
    const Cosigned cs = read_cosigned(d);
    EXPECT_TRUE(d.done()) << c.label;
    EXPECT_EQ(cs.origin, "arche2025h1.staging.ct.transparency.dev") << c.label;
    EXPECT_EQ(cs.size, 1432088532u) << c.label;
    EXPECT_EQ(cs.root.size(), 32u) << c.label;
    EXPECT_TRUE(cs.extensions.empty()) << c.label;
    EXPECT_EQ(cs.log_key_name, cs.origin) << c.label;
    EXPECT_EQ(cs.counted, c.counted) << c.label;
    EXPECT_EQ(cs.rejected, c.rejected) << c.label;
    EXPECT_EQ(cs.oldest, real.timestamp) << c.label;
    EXPECT_EQ(cs.newest, real.timestamp) << c.label;
  }
}

TEST(WitnessExports, LogSignatureAndPolicyFailures) {
  const RealCheckpoint real = real_checkpoint();
  // The log's own Ed25519 line is the second line with the origin's name (the first is the
  // static-ct-api tree head signature under another key id).
  std::string log_tampered = real.note;
  const auto line = log_tampered.find("\xe2\x80\x94 arche2025h1.staging.ct.transparency.dev ui8G");
  ASSERT_NE(line, std::string::npos);
  log_tampered[line + 60] = log_tampered[line + 60] == 'A' ? 'B' : 'A';
  struct Case {
    std::string label, note, policy, error;
    int32_t variant;
  };
  const Case cases[] = {
      {"log signature tampered", log_tampered, k_of_n_policy(real, "3"),
       "invalid log signature for key \"arche2025h1.staging.ct.transparency.dev\" (key id ba2f06c0)",
       QVW_ERROR_VERIFICATION},
      {"log not in the policy", real.note, "quorum none\n",
       "no log in the policy has key name \"arche2025h1.staging.ct.transparency.dev\"", QVW_ERROR_VERIFICATION},
      {"policy without a quorum line", real.note, "log " + real.log_vkey + "\n", "policy: no quorum line",
       QVW_ERROR_MALFORMED_POLICY},
      {"policy checked before the note", "not a note", "quorum nobody\n",
       "policy line 1: quorum \"nobody\" is not defined on an earlier line", QVW_ERROR_MALFORMED_POLICY},
      {"note not a signed note", "not a note", "quorum none\n",
       "malformed signed note: missing blank-line signature separator", QVW_ERROR_MALFORMED_INPUT},
  };
  for (const Case& c : cases) {
    const Outcome got = verify_cosigned(c.note, c.policy);
    EXPECT_EQ(got.code, 1) << c.label;
    EXPECT_EQ(got.message, c.error) << c.label;
    EXPECT_EQ(got.variant, c.variant) << c.label;
  }
}

TEST(WitnessExports, PolicyParseDescribesThePolicy) {
  const RealCheckpoint real = real_checkpoint();
  RustCallStatus status{};
  const RustBuffer out =
      uniffi_quorvantile_witness_fn_func_witness_policy_parse(text_arg(k_of_n_policy(real, "any")), &status);
  ASSERT_EQ(status.code, 0) << status_message(status);
  Decoder d(take(out));
  EXPECT_EQ(d.strings(), std::vector<std::string>{"arche2025h1.staging.ct.transparency.dev"});
  EXPECT_EQ(d.strings(), (std::vector<std::string>{"w1", "w2", "w3", "w4"}));
  ASSERT_EQ(d.count(), 1u);
  EXPECT_EQ(d.string(), "g");
  EXPECT_EQ(d.u64(), 1u) << "any is a threshold of 1";
  EXPECT_EQ(d.strings(), (std::vector<std::string>{"w1", "w2", "w3", "w4"}));
  EXPECT_EQ(d.string(), "g");
  EXPECT_TRUE(d.done());

  status = {};
  const RustBuffer bad = uniffi_quorvantile_witness_fn_func_witness_policy_parse(text_arg("quorum none\r\n"), &status);
  EXPECT_EQ(bad.data, nullptr);
  ASSERT_EQ(status.code, 1);
  EXPECT_EQ(status_message(status).rfind("policy line 1: ", 0), 0u);
}

TEST(WitnessExports, ProofBundles) {
  const auto vectors = qv_test::read_json(qv_test::vectors_dir() / "c2sp-witness/derived/tlog-proof.json");
  struct Case {
    std::string id;
    std::string error;  // empty: verifies
  };
  const Case cases[] = {
      {"V01", ""},
      {"V02", ""},
      {"V05", ""},
      {"V07", "root mismatch: recomputed root does not match the expected root"},
      {"V10", "leaf index 13 is beyond tree size 13"},
      {"V11", "malformed tlog proof: line 2: index \"05\" is not a 64-bit decimal number without leading zeros"},
      {"V18", "witness quorum \"g\" not met: 1 witness counted"},
  };
  for (const Case& c : cases) {
    const nlohmann::json* v = nullptr;
    for (const auto& item : vectors["cases"])
      if (item["id"] == c.id) v = &item;
    ASSERT_NE(v, nullptr) << c.id;
    const std::string policy = v->contains("policy") ? (*v)["policy"].get<std::string>()
                                                     : vectors["default_policy"].get<std::string>();
    RustCallStatus status{};
    const RustBuffer out = uniffi_quorvantile_witness_fn_func_tlog_proof_verify(
        text_arg((*v)["proof"].get<std::string>()), text_arg(policy),
        bytes_arg(qv_test::from_hex((*v)["leaf_hash_hex"].get<std::string>())), &status);
    if (!c.error.empty()) {
      EXPECT_EQ(status.code, 1) << c.id;
      if (status.code != 0) {
        EXPECT_EQ(status_message(status), c.error) << c.id;
      }
      continue;
    }
    ASSERT_EQ(status.code, 0) << c.id << ": " << status_message(status);
    Decoder d(take(out));
    const uint64_t index = d.u64();
    const uint8_t has_extra = d.u8();
    Bytes extra;
    if (has_extra == 1) extra = d.bytes();
    const Cosigned cs = read_cosigned(d);
    EXPECT_TRUE(d.done()) << c.id;
    const std::string proof = (*v)["proof"];
    EXPECT_NE(proof.find("\nindex " + std::to_string(index) + "\n"), std::string::npos) << c.id;
    EXPECT_EQ(has_extra == 1, proof.find("\nextra ") != std::string::npos) << c.id;
    EXPECT_FALSE(cs.origin.empty()) << c.id;
    EXPECT_LT(index, cs.size) << c.id;
  }
}

TEST(WitnessExports, ConsistencyBetweenCosignedCheckpoints) {
  const RealCheckpoint real = real_checkpoint();
  const std::string mldsa_log = witness_vector_text("real/torchwood-mldsa44-log.checkpoint");
  const auto manifest = qv_test::read_json(qv_test::vectors_dir() / "c2sp-witness/real/real-checkpoints.json");
  std::string mldsa_vkey;
  for (const auto& c : manifest["cases"])
    if (c["file"] == "torchwood-mldsa44-log.checkpoint") mldsa_vkey = c["log_vkey"];
  ASSERT_FALSE(mldsa_vkey.empty());
  const std::string policy = k_of_n_policy(real, "3");
  const std::string two_logs = "log " + real.log_vkey + "\nlog " + mldsa_vkey + "\nquorum none\n";
  struct Case {
    std::string label, older, newer, policy;
    std::vector<Bytes> proof;
    std::string error;
  };
  const Case cases[] = {
      {"same checkpoint, empty proof", real.note, real.note, policy, {}, ""},
      {"same checkpoint, non-empty proof", real.note, real.note, policy, {Bytes(32, 7)},
       "consistency proof between equal sizes must be empty"},
      {"newer misses its quorum", real.note, tamper_line(real.note, real.witnesses[1].first),
       k_of_n_policy(real, "all"), {}, "witness quorum \"g\" not met: 3 witnesses counted"},
      {"checkpoints of two logs", real.note, mldsa_log, two_logs, {},
       "checkpoints are from different logs: \"arche2025h1.staging.ct.transparency.dev\" and \"" +
           mldsa_log.substr(0, mldsa_log.find('\n')) + "\""},
  };
  for (const Case& c : cases) {
    RustCallStatus status{};
    uniffi_quorvantile_witness_fn_func_checkpoint_verify_cosigned_consistency(
        text_arg(c.older), text_arg(c.newer), text_arg(c.policy), bytes_list_arg(c.proof), &status);
    if (c.error.empty()) {
      EXPECT_EQ(status.code, 0) << c.label << ": " << (status.code ? status_message(status) : "");
    } else {
      EXPECT_EQ(status.code, 1) << c.label;
      if (status.code != 0) {
        EXPECT_EQ(status_message(status), c.error) << c.label;
      }
    }
  }
}

std::string fixture(std::string_view name) { return qv_test::read_file(qv_test::data_dir() / "witness" / name); }

std::vector<Bytes> consistency_proof() {
  std::vector<Bytes> proof;
  std::string text = fixture("consistency_7_13.txt");
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    const std::string line = text.substr(start, end - start);
    start = end == std::string::npos ? text.size() : end + 1;
    if (line.empty()) continue;
    // Standard base64 of a 32-byte hash.
    static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    Bytes out;
    uint32_t acc = 0;
    int bits = 0;
    for (char c : line) {
      if (c == '=') break;
      acc = acc << 6 | static_cast<uint32_t>(alphabet.find(c));
      bits += 6;
      if (bits >= 8) {
        bits -= 8;
        out.push_back(static_cast<uint8_t>(acc >> bits));
      }
    }
    proof.push_back(out);
  }
  return proof;
}

// The composite-hybrid-signed checkpoints cosigned by one Ed25519 and one ML-DSA-44 witness.
TEST(WitnessExports, HybridLogWithEd25519AndMlDsaWitnesses) {
  const auto expected = qv_test::read_json(qv_test::data_dir() / "witness/fixtures.json");
  const std::string policy = fixture("policy.txt");
  for (const char* which : {"older", "newer"}) {
    const Outcome got = verify_cosigned(fixture(std::string("checkpoint_") + which + ".txt"), policy);
    ASSERT_EQ(got.code, 0) << which << ": " << got.message;
    Decoder d(got.value);
    const Cosigned cs = read_cosigned(d);
    EXPECT_TRUE(d.done());
    const auto& want = expected[which];
    EXPECT_EQ(cs.origin, expected["origin"]) << which;
    EXPECT_EQ(cs.log_key_name, expected["log_key_name"]) << which;
    EXPECT_EQ(cs.size, want["size"].get<uint64_t>()) << which;
    EXPECT_EQ(cs.root, qv_test::from_hex(want["root_hex"].get<std::string>())) << which;
    EXPECT_EQ(cs.counted, want["counted"].get<std::vector<std::string>>()) << which;
    EXPECT_TRUE(cs.rejected.empty()) << which;
    EXPECT_EQ(cs.oldest, want["oldest_timestamp"].get<uint64_t>()) << which;
    EXPECT_EQ(cs.newest, want["newest_timestamp"].get<uint64_t>()) << which;
  }
  const Outcome unmet = verify_cosigned(fixture("checkpoint_newer.txt"), fixture("policy_unmet.txt"));
  EXPECT_EQ(unmet.code, 1);
  EXPECT_EQ(unmet.message, "witness quorum \"three\" not met: 2 witnesses counted");

  std::vector<Bytes> tampered = consistency_proof();
  ASSERT_FALSE(tampered.empty());
  tampered[0][0] ^= 1;
  struct Case {
    std::string label;
    std::vector<Bytes> proof;
    std::string error;
  };
  const Case cases[] = {
      {"7 to 13", consistency_proof(), ""},
      {"7 to 13, first hash changed", tampered, "root mismatch: recomputed root does not match the expected root"},
  };
  for (const Case& c : cases) {
    RustCallStatus status{};
    uniffi_quorvantile_witness_fn_func_checkpoint_verify_cosigned_consistency(
        text_arg(fixture("checkpoint_older.txt")), text_arg(fixture("checkpoint_newer.txt")), text_arg(policy),
        bytes_list_arg(c.proof), &status);
    const std::string message = status.code != 0 ? status_message(status) : "";
    EXPECT_EQ(status.code, c.error.empty() ? 0 : 1) << c.label;
    EXPECT_EQ(message, c.error) << c.label;
  }

  RustCallStatus status{};
  const RustBuffer out = uniffi_quorvantile_witness_fn_func_tlog_proof_verify(
      text_arg(fixture("index5.tlog-proof")), text_arg(policy),
      bytes_arg(qv_test::from_hex(expected["leaf_hash_hex"].get<std::string>())), &status);
  ASSERT_EQ(status.code, 0) << status_message(status);
  Decoder d(take(out));
  EXPECT_EQ(d.u64(), expected["leaf_index"].get<uint64_t>());
  ASSERT_EQ(d.u8(), 1);
  EXPECT_EQ(d.bytes(), qv_test::from_hex(expected["extra_hex"].get<std::string>()));
  EXPECT_EQ(read_cosigned(d).counted, expected["newer"]["counted"].get<std::vector<std::string>>());
  EXPECT_TRUE(d.done());
}

// A malformed argument buffer gets the same status code and text from a witness export as from
// the log library export taking an argument of the same name and type.
TEST(WitnessExports, MalformedArgumentsReportedAsTheLogLibraryDoes) {
  static uint8_t scratch = 0;
  using Make = std::function<RustBuffer(bool witness)>;
  auto from = [](Bytes bytes) {
    return Make([bytes](bool witness) {
      RustCallStatus s{};
      const ForeignBytes fb{static_cast<int32_t>(bytes.size()), bytes.data()};
      return witness ? ffi_quorvantile_witness_rustbuffer_from_bytes(fb, &s) : ffi_quorvantile_log_rustbuffer_from_bytes(fb, &s);
    });
  };
  auto raw = [](RustBuffer b) { return Make([b](bool) { return b; }); };
  auto fine_text = from(Bytes{'x'});
  struct Case {
    std::string label;
    Make bad;
    std::string want;
  };
  const Case cases[] = {
      {"null data, capacity", raw(RustBuffer{5, 0, nullptr}), "null RustBuffer had non-zero capacity"},
      {"null data, length", raw(RustBuffer{0, 5, nullptr}), "null RustBuffer had non-zero length"},
      {"length beyond capacity", raw(RustBuffer{0, 2, &scratch}), "RustBuffer length exceeds capacity"},
      {"short sequence", from({0, 0, 0, 2, 0xAA}), "not enough bytes remaining in buffer (0 < 1)"},
      {"negative count", from({0xFF, 0xFF, 0xFF, 0xFF}), "out of range integral type conversion attempted"},
      {"junk after the value", from({0, 0, 0, 0, 1}), "junk data left in buffer after lifting (count: 1)"},
  };
  for (const Case& c : cases) {
    const bool is_buffer_fault = c.label.find("null") == 0 || c.label.find("beyond") != std::string::npos;
    // leaf_hash (sequence<u8>): tlog_proof_verify against checkpoint_verify_inclusion.
    RustCallStatus w{}, l{};
    uniffi_quorvantile_witness_fn_func_tlog_proof_verify(fine_text(true), fine_text(true), c.bad(true), &w);
    uniffi_quorvantile_log_fn_func_checkpoint_verify_inclusion(fine_text(false), from({0, 0, 0, 0})(false), 0,
                                                              c.bad(false), from({0, 0, 0, 0})(false), &l);
    ASSERT_EQ(w.code, 2) << c.label;
    ASSERT_EQ(l.code, 2) << c.label;
    const std::string got = status_message(w);
    Bytes log_raw(l.error_buf.data, l.error_buf.data + l.error_buf.len);
    RustCallStatus s{};
    ffi_quorvantile_log_rustbuffer_free(l.error_buf, &s);
    EXPECT_EQ(got, std::string(log_raw.begin(), log_raw.end())) << c.label;
    EXPECT_EQ(got, is_buffer_fault ? c.want : "Failed to convert arg 'leaf_hash':\n" + c.want) << c.label;
  }
  // proof (sequence<sequence<u8>>): the consistency exports of both libraries.
  RustCallStatus w{}, l{};
  uniffi_quorvantile_witness_fn_func_checkpoint_verify_cosigned_consistency(
      fine_text(true), fine_text(true), fine_text(true), from({0, 0, 0, 1, 0, 0, 0})(true), &w);
  uniffi_quorvantile_log_fn_func_checkpoint_verify_consistency(fine_text(false), fine_text(false),
                                                               from({0, 0, 0, 0})(false),
                                                               from({0, 0, 0, 1, 0, 0, 0})(false), &l);
  ASSERT_EQ(w.code, 2);
  ASSERT_EQ(l.code, 2);
  const std::string want = "Failed to convert arg 'proof':\nnot enough bytes remaining in buffer (3 < 4)";
  EXPECT_EQ(status_message(w), want);
  Bytes log_raw(l.error_buf.data, l.error_buf.data + l.error_buf.len);
  RustCallStatus s{};
  ffi_quorvantile_log_rustbuffer_free(l.error_buf, &s);
  EXPECT_EQ(std::string(log_raw.begin(), log_raw.end()), want);
}

}  // namespace
}  // namespace qv_witness_abi
