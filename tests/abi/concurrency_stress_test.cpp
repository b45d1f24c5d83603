// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Every verification export called from eight threads at once on the bundled fixtures (valid
// inputs, tampered ones and malformed buffers): each outcome, scalar, result buffer and error
// buffer must equal byte for byte the answer the same input gave on one thread first. The calls
// are re-entrant and share nothing, so any difference (or, under ThreadSanitizer, any report) is
// a fault. QV_STRESS_ROUNDS sets the rounds per thread (instrumented runs use fewer).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <latch>
#include <set>
#include <thread>

#include "export_calls.hpp"
#include "test_support.hpp"

namespace qv_calls {
namespace {

using nlohmann::json;

struct Case {
  const Export* fn;
  std::string what;
  std::vector<Arg> args;
  Outcome expected;
};

std::vector<Arg> plain_row(const char* name, const json& args) { return from_plain(by_name(name), args); }

// The index of the largest buffer argument, whose bytes the mutations below change.
std::size_t largest_buffer(const std::vector<Arg>& args) {
  std::size_t best = args.size();
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i].is_buffer && (best == args.size() || args[i].bytes.size() > args[best].bytes.size())) best = i;
  }
  return best;
}

// The inputs: every row of the shared call table, each also tampered (one byte flipped in the
// middle of its largest buffer), truncated (that buffer one byte short, so a declared length
// overruns it) and with an absurd declared count; then the CONIKS, key-transparency, policy and
// hybrid-note fixtures whole.
std::vector<Case> build_cases() {
  std::vector<Case> cases;
  auto add = [&](const Export& fn, std::string what, std::vector<Arg> args) {
    cases.push_back(Case{&fn, std::move(what), std::move(args), {}});
  };
  const json table = qv_test::read_json(qv_test::data_dir() / "bindings" / "calls.json");
  std::size_t row = 0;
  for (const auto& c : table["calls"]) {
    const Export& fn = by_name(c["function"].get<std::string>());
    const auto args = from_plain(fn, c["args"]);
    const std::string tag = std::string(fn.name) + " row " + std::to_string(row++);
    add(fn, tag, args);
    const std::size_t big = largest_buffer(args);
    if (big == args.size() || args[big].bytes.empty()) continue;
    auto tampered = args;
    tampered[big].bytes[tampered[big].bytes.size() / 2] ^= 0x20;
    add(fn, tag + " tampered", std::move(tampered));
    auto truncated = args;
    truncated[big].bytes.pop_back();
    add(fn, tag + " truncated", std::move(truncated));
    if (args[big].bytes.size() >= 4) {
      auto counted = args;
      for (int i = 0; i < 4; ++i) counted[big].bytes[static_cast<std::size_t>(i)] = i == 0 ? 0x7f : 0xff;
      add(fn, tag + " huge count", std::move(counted));
    }
  }

  const json coniks = qv_test::read_json(qv_test::data_dir() / "coniks" / "proofs.json");
  for (const char* kind : {"lookups", "absences"}) {
    for (const auto& r : coniks[kind]) {
      for (const char* fn : {"coniks_verify_lookup", "coniks_verify_absence"}) {
        add(by_name(fn), std::string(fn) + " on " + kind,
            plain_row(fn, json::array({coniks["namespace"], coniks["vrf_public"], coniks["root"], r["identity"], r["proof"]})));
      }
    }
  }

  const auto kt = [](const char* file) {
    const std::string s = qv_test::read_file(qv_test::data_dir() / "keytrans" / file);
    return Bytes(s.begin(), s.end());
  };
  const Bytes label = {'a', 'l', 'i', 'c', 'e'};
  for (const char* proof : {"keytrans_search_alice.proof", "keytrans_monitor_alice_3.proof",
                            "keytrans_fixed_alice_2.proof", "keytrans_search_mallory.proof"}) {
    for (const char* fn : {"keytrans_verify_search", "keytrans_verify_monitor", "keytrans_verify_fixed_version"}) {
      add(by_name(fn), std::string(fn) + " on " + proof,
          {text("demo/keytrans/v1"), seq(kt("keytrans.vrf_public")), seq(kt("keytrans.root")), seq(label), seq(kt(proof))});
      for (int suite : {0x0001, 0x0002, 0xF000}) {
        add(by_name(std::string(fn) + "_suite"), std::string(fn) + "_suite on " + proof,
            {scalar(static_cast<uint64_t>(suite)), text("demo/keytrans/v1"), seq(kt("keytrans.vrf_public")), seq(kt("keytrans.root")),
             seq(label), seq(kt(proof))});
      }
    }
  }

  const json policies = qv_test::read_json(qv_test::data_dir() / "policy" / "policies.json");
  for (const auto& p : policies["cases"]) {
    const Arg envelope = seq(hex(p["envelope"].get<std::string>()));
    add(by_name("signed_policy_verify"), "policy " + p["name"].get<std::string>(), {envelope});
    add(by_name("policy_enforce_vrf_suite_id"), "policy vrf", {envelope, scalar(3)});
    add(by_name("policy_enforce_directory_backend"), "policy backend", {envelope, scalar(1)});
    add(by_name("policy_enforce_commitment_hash"), "policy commitment", {envelope, variant(2)});
  }

  const json notes = qv_test::read_json(qv_test::data_dir() / "notes" / "composite_notes.json");
  for (const auto& n : notes["cases"]) {
    const auto vkeys = n["vkeys"].get<std::vector<std::string>>();
    add(by_name("verify_signed_note"), "note " + n["tag"].get<std::string>() + " " + n["what"].get<std::string>(),
        {text(n["note"].get<std::string>()), string_list(vkeys)});
    add(by_name("checkpoint_verify"), "checkpoint from note " + n["tag"].get<std::string>(),
        {text(n["note"].get<std::string>()), string_list(vkeys)});
  }

  for (auto& c : cases) c.expected = call(*c.fn, c.args);
  return cases;
}

int rounds() {
  const char* env = std::getenv("QV_STRESS_ROUNDS");
  return env != nullptr ? std::max(1, std::atoi(env)) : 12;
}

TEST(ConcurrencyStress, EveryExportFromEightThreadsMatchesTheSingleThreadedAnswer) {
  const std::vector<Case> cases = build_cases();

  // The mix must reach every export, with successes, verification failures (code 1) and
  // conversion failures (code 2) among the answers.
  std::set<std::string> reached;
  std::set<int> codes;
  for (const auto& c : cases) {
    reached.insert(c.fn->name);
    codes.insert(c.expected.code);
  }
  EXPECT_EQ(reached.size(), exports().size());
  EXPECT_EQ(exports().size(), 26u);
  EXPECT_EQ(codes, (std::set<int>{0, 1, 2}));

  constexpr int kThreads = 8;
  const int n_rounds = rounds();
  std::latch start(kThreads);
  std::atomic<long> calls{0};
  std::vector<std::vector<std::string>> mismatches(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      start.arrive_and_wait();
      const std::size_t n = cases.size();
      for (int r = 0; r < n_rounds; ++r) {
        // Each thread walks the cases from its own offset, so different exports overlap.
        for (std::size_t i = 0; i < n; ++i) {
          const Case& c = cases[(i + static_cast<std::size_t>(t) * (n / kThreads) + static_cast<std::size_t>(r)) % n];
          const Outcome got = call(*c.fn, c.args);
          if (got != c.expected && mismatches[t].size() < 10) mismatches[t].push_back(c.what);
        }
      }
      calls += static_cast<long>(n_rounds) * static_cast<long>(n);
    });
  }
  for (auto& th : threads) th.join();
  for (int t = 0; t < kThreads; ++t) {
    for (const auto& what : mismatches[t]) ADD_FAILURE() << "thread " << t << " differs on " << what;
  }
  EXPECT_EQ(calls.load(), static_cast<long>(kThreads) * n_rounds * static_cast<long>(cases.size()));
  std::printf("concurrency stress: %zu inputs, %d threads x %d rounds = %ld calls\n", cases.size(), kThreads, n_rounds,
              calls.load());
}

}  // namespace
}  // namespace qv_calls
