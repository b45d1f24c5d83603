// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Hostile inputs of at most 1 MiB for every verification export, for the allocation-bound test
// and the worst-case benchmark: the longest legal proof paths, absurd declared counts and
// lengths, 100 signature lines of 5 KB tokens, megabyte texts, values and paddings, the deepest
// key-transparency ladders a 32-bit version allows, the largest bundled policy, and every bundled
// fixture with a huge count written over each of its length fields in turn.
//
// A row names an export and an input kind, and holds one argument list, or for a sweep many.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "export_calls.hpp"
#include "kt_directory.hpp"
#include "test_support.hpp"

namespace qv_hostile {

using qv_calls::Arg;
using qv_calls::Bytes;
using nlohmann::json;

inline constexpr std::size_t kMaxInput = std::size_t{1} << 20;

struct Input {
  std::string fn;
  std::string kind;
  std::vector<std::vector<Arg>> variants;
};

inline Bytes text_bytes(std::string_view s) { return Bytes(s.begin(), s.end()); }

inline std::string base64(const Bytes& in) {
  static const char* a = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t i = 0; i < in.size(); i += 3) {
    const uint32_t n = uint32_t{in[i]} << 16 | (i + 1 < in.size() ? uint32_t{in[i + 1]} << 8 : 0) |
                       (i + 2 < in.size() ? uint32_t{in[i + 2]} : 0);
    out += a[n >> 18 & 63];
    out += a[n >> 12 & 63];
    out += i + 1 < in.size() ? a[n >> 6 & 63] : '=';
    out += i + 2 < in.size() ? a[n & 63] : '=';
  }
  return out;
}

// Deterministic filler bytes.
inline Bytes filler(std::size_t n, uint8_t seed) {
  Bytes out(n);
  uint32_t x = 0x9e3779b9u ^ seed;
  for (auto& b : out) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = static_cast<uint8_t>(x);
  }
  return out;
}

inline std::vector<Bytes> hashes(std::size_t n) {
  std::vector<Bytes> out;
  for (std::size_t i = 0; i < n; ++i) out.push_back(filler(32, static_cast<uint8_t>(i)));
  return out;
}

// A sequence whose declared element count (or byte length) is 2^31 - 1 with nothing behind it.
inline Arg huge_count() { return qv_calls::raw({0x7f, 0xff, 0xff, 0xff}); }

// `args` with 0x7fffffff written over the 4 bytes at each offset of argument `which` in turn, and
// 0xffff and 0xff over 2 and 1 bytes (every offset of the first 256 bytes, every 37th after).
inline std::vector<std::vector<Arg>> count_sweep(const std::vector<Arg>& args, std::size_t which) {
  std::vector<std::vector<Arg>> out;
  const std::size_t n = args[which].bytes.size();
  for (std::size_t o = 0; o < n; o += o < 256 ? 1 : 37) {
    for (std::size_t width : {4, 2, 1}) {
      if (o + width > n) continue;
      auto v = args;
      for (std::size_t i = 0; i < width; ++i) v[which].bytes[o + i] = (width == 4 && i == 0) ? 0x7f : 0xff;
      out.push_back(std::move(v));
    }
  }
  return out;
}

inline Bytes fixture(const char* dir, const char* file) {
  const std::string s = qv_test::read_file(qv_test::data_dir() / dir / file);
  return Bytes(s.begin(), s.end());
}

// The lines of a note's signature block ("— name base64").
inline std::vector<std::string> signature_lines(const std::string& note) {
  std::vector<std::string> out;
  const std::size_t sep = note.find("\n\n");
  std::size_t i = sep + 2;
  while (i < note.size()) {
    const std::size_t j = note.find('\n', i);
    out.push_back(note.substr(i, j - i));
    i = j + 1;
  }
  return out;
}

inline std::string note_body(const std::string& note) { return note.substr(0, note.find("\n\n") + 1); }

// A note whose signature block repeats `lines` in turn until it holds `count` lines.
inline std::string repeat_signatures(const std::string& note, const std::vector<std::string>& lines, std::size_t count) {
  std::string out = note_body(note) + "\n";
  for (std::size_t i = 0; i < count; ++i) out += lines[i % lines.size()] + "\n";
  return out;
}

inline std::vector<std::string> vkeys_of(const std::string& file_text) {
  std::vector<std::string> out;
  std::size_t i = 0;
  while (i < file_text.size()) {
    std::size_t j = file_text.find('\n', i);
    if (j == std::string::npos) j = file_text.size();
    if (j > i) out.push_back(file_text.substr(i, j - i));
    i = j + 1;
  }
  return out;
}

// A key-transparency directory whose label has the versions of the ladders of the greatest
// version a proof can name, in a log of 4096 entries.
struct DeepDirectory {
  std::unique_ptr<qv_kt::Directory> dir;
  Bytes label = text_bytes("deep-label");
  static constexpr uint32_t kGreatest = 0xFFFFFFFE;
  explicit DeepDirectory(const qv_kt::Suite& suite) : dir(std::make_unique<qv_kt::Directory>(suite, "hostile/keytrans/v1")) {
    std::vector<uint32_t> versions;
    for (uint64_t v : qv_kt::binary_ladder(kGreatest))
      if (v <= kGreatest) versions.push_back(static_cast<uint32_t>(v));
    dir->add_versions(label, versions);
    for (int i = 0; i < 64; ++i) dir->add_label(text_bytes("other-" + std::to_string(i)), 1);
    dir->publish(4096, 4095);
  }
};

inline std::vector<Input> build_inputs() {
  using namespace qv_calls;
  std::vector<Input> rows;
  auto one = [&](std::string fn, std::string kind, std::vector<Arg> args) {
    rows.push_back(Input{std::move(fn), std::move(kind), {std::move(args)}});
  };
  auto sweep = [&](std::string fn, std::string kind, const std::vector<Arg>& args, std::size_t which) {
    rows.push_back(Input{std::move(fn), std::move(kind), count_sweep(args, which)});
  };
  const uint64_t kMaxSize = ~uint64_t{0};
  const std::size_t mib_hashes = (kMaxInput - 64) / 36;

  // RFC 6962 proofs: index 0 of the largest tree takes the longest path (64 hashes).
  one("verify_inclusion", "longest path", {scalar(0), scalar(kMaxSize), seq(filler(32, 1)), seq_list(hashes(64)), seq(filler(32, 2))});
  one("verify_inclusion", "1 MiB proof", {scalar(0), scalar(kMaxSize), seq(filler(32, 1)), seq_list(hashes(mib_hashes)), seq(filler(32, 2))});
  one("verify_inclusion", "1 MiB of empty proof elements",
      {scalar(0), scalar(kMaxSize), seq(filler(32, 1)), seq_list(std::vector<Bytes>((kMaxInput - 128) / 4)), seq(filler(32, 2))});
  one("verify_inclusion", "huge declared count", {scalar(0), scalar(kMaxSize), seq(filler(32, 1)), huge_count(), seq(filler(32, 2))});
  one("verify_consistency", "longest path", {scalar(1), scalar(kMaxSize), seq_list(hashes(128)), seq(filler(32, 1)), seq(filler(32, 2))});
  one("verify_consistency", "1 MiB proof", {scalar(1), scalar(kMaxSize), seq_list(hashes(mib_hashes)), seq(filler(32, 1)), seq(filler(32, 2))});
  one("verify_consistency", "huge declared count", {scalar(1), scalar(kMaxSize), huge_count(), seq(filler(32, 1)), seq(filler(32, 2))});

  // Notes: a hybrid note and its key; the demo checkpoint with its two keys.
  const json composite = qv_test::read_json(qv_test::data_dir() / "notes" / "composite_notes.json");
  json hybrid;
  for (const auto& c : composite["cases"]) {
    if (c["expect"] == "verified 1" && (hybrid.is_null() || c["note"].get<std::string>().size() > hybrid["note"].get<std::string>().size()))
      hybrid = c;
  }
  const std::string hybrid_note = hybrid["note"].get<std::string>();
  const auto hybrid_keys = hybrid["vkeys"].get<std::vector<std::string>>();
  const std::string hybrid_name = signature_lines(hybrid_note)[0].substr(4, signature_lines(hybrid_note)[0].find(' ', 4) - 4);
  std::vector<std::string> big_tokens;
  for (int i = 0; i < 100; ++i) big_tokens.push_back("\xe2\x80\x94 " + hybrid_name + " " + base64(filler(5000, static_cast<uint8_t>(i))));
  const std::string big_token_note = repeat_signatures(hybrid_note, big_tokens, 100);
  const std::string trusted_note = repeat_signatures(hybrid_note, signature_lines(hybrid_note), 100);
  std::vector<std::string> many_keys;
  for (std::size_t n = 0; n < kMaxInput - 8 * 1024;) {
    many_keys.push_back(hybrid_keys[0]);
    n += many_keys.back().size() + 4;
  }
  one("verify_signed_note", "100 lines of 5 KB tokens", {text(big_token_note), string_list(hybrid_keys)});
  one("verify_signed_note", "100 verifying hybrid lines", {text(trusted_note), string_list(hybrid_keys)});
  one("verify_signed_note", "1 MiB of verifier keys", {text(hybrid_note), string_list(many_keys)});
  one("verify_signed_note", "1 MiB of empty verifier keys",
      {text(hybrid_note), string_list(std::vector<std::string>((kMaxInput - 8 * 1024) / 4))});
  one("verify_signed_note", "huge declared key count", {text(hybrid_note), huge_count()});

  const std::string demo_note = qv_test::read_file(qv_test::data_dir() / ".." / ".." / "demo" / "data" / "checkpoint.note");
  const auto demo_keys = vkeys_of(qv_test::read_file(qv_test::data_dir() / ".." / ".." / "demo" / "data" / "checkpoint.vkeys"));
  const std::string checkpoint_note = repeat_signatures(demo_note, signature_lines(demo_note), 100);
  std::string long_body = note_body(demo_note);
  while (long_body.size() < kMaxInput - 64) long_body += "extension line " + std::to_string(long_body.size()) + "\n";
  one("checkpoint_parse", "1 MiB of extension lines", {text(long_body)});
  std::string tiny_lines = note_body(demo_note);
  while (tiny_lines.size() < kMaxInput - 64) tiny_lines += "x\n";
  one("checkpoint_parse", "1 MiB of one-character extension lines", {text(tiny_lines)});
  one("checkpoint_parse", "1 MiB origin", {text(std::string(kMaxInput - 64, 'o') + "\n1\n" + base64(Bytes(32)) + "\n")});
  one("checkpoint_verify", "100 verifying signature lines", {text(checkpoint_note), string_list(demo_keys)});
  one("checkpoint_verify", "100 lines of 5 KB tokens", {text(repeat_signatures(demo_note, big_tokens, 100)), string_list(demo_keys)});
  one("checkpoint_verify_inclusion", "100 signature lines, 64-hash proof",
      {text(checkpoint_note), string_list(demo_keys), scalar(0), seq(filler(32, 3)), seq_list(hashes(64))});
  one("checkpoint_verify_inclusion", "huge declared count",
      {text(checkpoint_note), string_list(demo_keys), scalar(0), seq(filler(32, 3)), huge_count()});
  one("checkpoint_verify_consistency", "100 signature lines, 128-hash proof",
      {text(checkpoint_note), text(checkpoint_note), string_list(demo_keys), seq_list(hashes(128))});
  one("checkpoint_verify_consistency", "huge declared count",
      {text(checkpoint_note), text(checkpoint_note), string_list(demo_keys), huge_count()});

  // Commitments and key history: megabyte values and absurd lengths.
  one("verify_commitment", "1 MiB value", {text("ctx"), seq(filler(64, 4)), seq(filler(kMaxInput - 128, 5)), seq(filler(32, 6))});
  one("verify_commitment", "huge declared length", {text("ctx"), seq(filler(64, 4)), huge_count(), seq(filler(32, 6))});
  const Bytes prev = filler(64, 7);
  for (const char* fn : {"key_history_v1_canonical_bytes", "key_history_v1_entry_hash", "key_history_v1_rfc6962_leaf_hash",
                         "key_history_entry_hash_with_context"}) {
    const bool ctx = std::string_view(fn) == "key_history_entry_hash_with_context";
    auto with_ctx = [&](std::vector<Arg> a) {
      if (ctx) a.insert(a.begin(), text("acme/key-history/v1"));
      return a;
    };
    one(fn, "1 MiB key", with_ctx({scalar(1), scalar(2), seq(filler(32, 8)), seq(filler(kMaxInput - 256, 9)), seq(filler(32, 10)), opt_seq(&prev)}));
    one(fn, "huge declared length", with_ctx({scalar(1), scalar(2), huge_count(), seq(filler(64, 9)), seq(filler(32, 10)), opt_seq(&prev)}));
  }

  // CONIKS: the bundled proofs with a megabyte value, megabyte trailing bytes, and swept counts.
  const json coniks = qv_test::read_json(qv_test::data_dir() / "coniks" / "proofs.json");
  const Bytes lookup_proof = hex(coniks["lookups"][0]["proof"].get<std::string>());
  const Bytes absence_proof = hex(coniks["absences"][0]["proof"].get<std::string>());
  auto coniks_args = [&](const json& row, const Bytes& proof) {
    return std::vector<Arg>{text(coniks["namespace"].get<std::string>()), seq(hex(coniks["vrf_public"].get<std::string>())),
                            seq(hex(coniks["root"].get<std::string>())), seq(hex(row["identity"].get<std::string>())), seq(proof)};
  };
  {
    // tag, length-prefixed VRF proof, length-prefixed value, then opening and path.
    const std::size_t vrf_len = std::size_t{lookup_proof[1]} << 24 | std::size_t{lookup_proof[2]} << 16 |
                                std::size_t{lookup_proof[3]} << 8 | lookup_proof[4];
    const std::size_t value_at = 5 + vrf_len;
    const std::size_t value_len = std::size_t{lookup_proof[value_at]} << 24 | std::size_t{lookup_proof[value_at + 1]} << 16 |
                                  std::size_t{lookup_proof[value_at + 2]} << 8 | lookup_proof[value_at + 3];
    Bytes big(lookup_proof.begin(), lookup_proof.begin() + static_cast<long>(value_at));
    const Bytes value = filler(kMaxInput - lookup_proof.size() - 512, 11);
    put_seq(big, value);
    big.insert(big.end(), lookup_proof.begin() + static_cast<long>(value_at + 4 + value_len), lookup_proof.end());
    one("coniks_verify_lookup", "1 MiB value", coniks_args(coniks["lookups"][0], big));
  }
  for (const auto& [fn, row, proof] : {std::tuple{"coniks_verify_lookup", coniks["lookups"][0], lookup_proof},
                                       std::tuple{"coniks_verify_absence", coniks["absences"][0], absence_proof}}) {
    Bytes padded = proof;
    const Bytes pad = filler(kMaxInput - proof.size() - 512, 12);
    padded.insert(padded.end(), pad.begin(), pad.end());
    one(fn, "bundled proof", coniks_args(row, proof));
    one(fn, "1 MiB trailing bytes", coniks_args(row, padded));
    sweep(fn, "huge count at every offset", coniks_args(row, proof), 4);
  }

  // Key transparency: the deepest ladders (greatest version 2^32 - 2) in each suite, the bundled
  // proofs with trailing bytes, and swept counts.
  for (std::size_t s = 0; s < qv_kt::suites().size(); ++s) {
    const auto& suite = qv_kt::suites()[s];
    DeepDirectory deep(suite);
    const qv_kt::Hash32 root = deep.dir->root();
    auto kt_args = [&](const Bytes& proof) {
      std::vector<Arg> a{text(deep.dir->context()), seq(deep.dir->vrf_public()), seq(Bytes(root.begin(), root.end())),
                         seq(deep.label), seq(proof)};
      a.insert(a.begin(), scalar(suite.id));
      return a;
    };
    const std::string name(suite.name);
    one("keytrans_verify_search_suite", "deepest ladder, " + name, kt_args(qv_kt::encode(deep.dir->search(deep.label))));
    one("keytrans_verify_monitor_suite", "deepest ladder, " + name,
        kt_args(qv_kt::encode(deep.dir->monitor(deep.label, DeepDirectory::kGreatest))));
    one("keytrans_verify_fixed_version_suite", "greatest version, " + name,
        kt_args(qv_kt::encode(deep.dir->fixed_version(deep.label, DeepDirectory::kGreatest))));
    if (suite.id == 0xF000) {
      auto plain = [&](std::vector<Arg> a) {
        a.erase(a.begin());
        return a;
      };
      one("keytrans_verify_search", "deepest ladder", plain(kt_args(qv_kt::encode(deep.dir->search(deep.label)))));
      one("keytrans_verify_monitor", "deepest ladder",
          plain(kt_args(qv_kt::encode(deep.dir->monitor(deep.label, DeepDirectory::kGreatest)))));
      one("keytrans_verify_fixed_version", "greatest version",
          plain(kt_args(qv_kt::encode(deep.dir->fixed_version(deep.label, DeepDirectory::kGreatest)))));
    }
  }
  const Bytes kt_label = text_bytes("alice");
  for (const auto& [fn, file] : {std::pair{"keytrans_verify_search", "keytrans_search_alice.proof"},
                                 std::pair{"keytrans_verify_monitor", "keytrans_monitor_alice_3.proof"},
                                 std::pair{"keytrans_verify_fixed_version", "keytrans_fixed_alice_2.proof"}}) {
    const Bytes proof = fixture("keytrans", file);
    const std::vector<Arg> args{text("demo/keytrans/v1"), seq(fixture("keytrans", "keytrans.vrf_public")),
                                seq(fixture("keytrans", "keytrans.root")), seq(kt_label), seq(proof)};
    Bytes padded = proof;
    const Bytes pad = filler(kMaxInput - proof.size() - 512, 13);
    padded.insert(padded.end(), pad.begin(), pad.end());
    auto with_pad = args;
    with_pad[4] = seq(padded);
    one(fn, "1 MiB trailing bytes", with_pad);
    sweep(fn, "huge count at every offset", args, 4);
    auto suited = args;
    suited.insert(suited.begin(), scalar(0xF000));
    sweep(std::string(fn) + "_suite", "huge count at every offset", suited, 5);
  }

  // Policies: the largest bundled envelope, with trailing bytes, swept counts, and megabyte tokens.
  const json policies = qv_test::read_json(qv_test::data_dir() / "policy" / "policies.json");
  Bytes envelope;
  for (const auto& p : policies["cases"]) {
    Bytes e = hex(p["envelope"].get<std::string>());
    if (e.size() > envelope.size()) envelope = std::move(e);
  }
  Bytes padded_envelope = envelope;
  const Bytes pad = filler(kMaxInput - envelope.size() - 512, 14);
  padded_envelope.insert(padded_envelope.end(), pad.begin(), pad.end());
  const std::string mib_token = base64(filler((kMaxInput - 8 * 1024) / 4 * 3, 15));
  std::vector<std::pair<std::string, Arg>> observed = {{"signed_policy_verify", Arg{}},
                                                       {"policy_enforce_checkpoint_signature", text(mib_token)},
                                                       {"policy_enforce_checkpoint_signing_key", text(mib_token)},
                                                       {"policy_enforce_commitment_hash", variant(2)},
                                                       {"policy_enforce_directory_backend", scalar(0xF004)},
                                                       {"policy_enforce_vrf_suite_id", scalar(4)}};
  for (const auto& [fn, second] : observed) {
    auto args_for = [&, &second = second, &fn = fn](const Bytes& env) {
      std::vector<Arg> a{seq(env)};
      if (fn != "signed_policy_verify") a.push_back(second);
      return a;
    };
    one(fn, "largest bundled policy", args_for(envelope));
    one(fn, "1 MiB trailing bytes", args_for(padded_envelope));
    if (fn == "signed_policy_verify" || fn == "policy_enforce_commitment_hash") sweep(fn, "huge count at every offset", args_for(envelope), 0);
  }
  one("signed_policy_verify", "huge declared length", {huge_count()});
  return rows;
}

inline const std::vector<Input>& inputs() {
  static const std::vector<Input> all = build_inputs();
  return all;
}

}  // namespace qv_hostile
