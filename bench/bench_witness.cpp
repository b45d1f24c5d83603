// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The witness work operations beside the signature verifications they cannot avoid, in one run:
// checkpoint_verify_cosigned with a log signature and three Ed25519 cosignatures against four
// strict Ed25519 verifications of the same messages (aim: ratio <= 1.15); with three ML-DSA-44
// cosignatures against the log signature plus three ML-DSA-44 verifications called directly
// (aim: ratio <= 1.15); and parsing a 32-witness policy (aim: < 50 us). Inputs are the generated
// fixtures in tests/data/witness.
#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "checkpoint/checkpoint.hpp"
#include "note/signed_note.hpp"
#include "quorvantile_crypto/ed25519.hpp"
#include "quorvantile_crypto/mldsa.hpp"
#include "test_support.hpp"
#include "witness/cosignature.hpp"
#include "witness/operations.hpp"
#include "witness/policy.hpp"

namespace {

namespace w = quorvantile_log::witness;
using quorvantile_crypto::Bytes;

// Thread CPU time: the figures stay comparable when other work shares the machine.
double thread_ns() {
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e9 + static_cast<double>(ts.tv_nsec);
}

// Best of seven runs of `rounds` calls, in nanoseconds per call.
double best_ns(int rounds, const std::function<void()>& call) {
  double best = 1e30;
  for (int rep = 0; rep < 7; ++rep) {
    const double start = thread_ns();
    for (int i = 0; i < rounds; ++i) call();
    best = std::min(best, (thread_ns() - start) / rounds);
  }
  return best;
}

std::string data(const char* name) { return qv_test::read_file(qv_test::data_dir() / "witness" / name); }

// One verification the operation performs, prepared outside the timing.
struct Verification {
  w::Vkey key;
  Bytes message;
  Bytes signature;
};

struct Case {
  std::string note;
  std::string policy;
  std::vector<Verification> direct;  // the log signature first, then each cosignature

  bool verify_directly() const {
    bool ok = true;
    for (const Verification& v : direct) {
      if (v.key.type == w::kMlDsa44CosignatureType) {
        ok &= quorvantile_crypto::mldsa::verify(quorvantile_crypto::mldsa::ParameterSet::MlDsa44, v.key.key, v.message,
                                                v.signature);
      } else {
        ok &= quorvantile_crypto::ed25519::verify_strict(v.key.key, v.message, v.signature);
      }
    }
    return ok;
  }
};

// Rebuilds, from the fixture, exactly the messages and signatures the operation checks.
Case load(const char* note_file, const char* policy_file) {
  Case c{data(note_file), data(policy_file), {}};
  const auto policy = w::Policy::parse(c.policy);
  const auto note = quorvantile_log::note::SignedNote::parse(c.note);
  if (!policy || !note) throw std::runtime_error("fixture");
  const auto checkpoint = quorvantile_log::checkpoint::Checkpoint::parse(note->text());
  if (!checkpoint) throw std::runtime_error("fixture body");
  const w::Vkey& log = policy->logs.at(0).key;
  for (const auto& line : note->signatures()) {
    if (line.name == log.name && line.key_id == log.key_id) {
      const auto text = quorvantile_crypto::as_bytes(note->text());
      c.direct.push_back({log, Bytes(text.begin(), text.end()), line.signature});
    }
  }
  for (const auto& witness : policy->witnesses) {
    for (const auto& line : note->signatures()) {
      if (line.name != witness.key.name || line.key_id != witness.key.key_id) continue;
      uint64_t timestamp = 0;
      for (int i = 0; i < 8; ++i) timestamp = timestamp << 8 | line.signature[i];
      Bytes message;
      if (witness.key.type == w::kEd25519CosignatureType) {
        const std::string text = w::cosignature_v1_message(timestamp, note->text());
        message.assign(text.begin(), text.end());
      } else {
        message = w::subtree_v1_message(witness.key.name, timestamp, checkpoint->origin, 0, checkpoint->size,
                                        checkpoint->root);
      }
      c.direct.push_back({witness.key, message, Bytes(line.signature.begin() + 8, line.signature.end())});
    }
  }
  if (c.direct.size() != 4 || !c.verify_directly()) throw std::runtime_error("fixture signatures");
  return c;
}

void run_cosigned(benchmark::State& state, const Case& c, int baseline_rounds) {
  for (auto _ : state) {
    auto result = w::checkpoint_verify_cosigned(c.note, c.policy);
    if (!result || result->counted_witnesses.size() != 3) throw std::runtime_error("verify");
    benchmark::DoNotOptimize(result);
  }
  // Side by side in the same run: the operation and its four verifications, best of seven each.
  const double operation = best_ns(baseline_rounds, [&] {
    auto result = w::checkpoint_verify_cosigned(c.note, c.policy);
    benchmark::DoNotOptimize(result);
  });
  const double direct = best_ns(baseline_rounds, [&] {
    bool ok = c.verify_directly();
    benchmark::DoNotOptimize(ok);
  });
  state.counters["operation_ns"] = operation;
  state.counters["four_verifications_ns"] = direct;
  state.counters["ratio"] = operation / direct;
}

void BM_CosignedEd25519(benchmark::State& state) {
  static const Case c = load("bench_ed25519_checkpoint.txt", "bench_ed25519_policy.txt");
  run_cosigned(state, c, 300);
}
BENCHMARK(BM_CosignedEd25519)->Unit(benchmark::kMicrosecond);

void BM_CosignedMlDsa44(benchmark::State& state) {
  static const Case c = load("bench_mldsa_checkpoint.txt", "bench_mldsa_policy.txt");
  run_cosigned(state, c, 100);
}
BENCHMARK(BM_CosignedMlDsa44)->Unit(benchmark::kMicrosecond);

void BM_FourEd25519Verifications(benchmark::State& state) {
  static const Case c = load("bench_ed25519_checkpoint.txt", "bench_ed25519_policy.txt");
  for (auto _ : state) {
    bool ok = c.verify_directly();
    benchmark::DoNotOptimize(ok);
  }
}
BENCHMARK(BM_FourEd25519Verifications)->Unit(benchmark::kMicrosecond);

void BM_LogPlusThreeMlDsa44Verifications(benchmark::State& state) {
  static const Case c = load("bench_mldsa_checkpoint.txt", "bench_mldsa_policy.txt");
  for (auto _ : state) {
    bool ok = c.verify_directly();
    benchmark::DoNotOptimize(ok);
  }
}
BENCHMARK(BM_LogPlusThreeMlDsa44Verifications)->Unit(benchmark::kMicrosecond);

void BM_PolicyParse32Witnesses(benchmark::State& state) {
  static const std::string policy = data("bench_policy_32.txt");
  for (auto _ : state) {
    auto parsed = w::witness_policy_parse(policy);
    if (!parsed || parsed->witness_names.size() != 32) throw std::runtime_error("policy");
    benchmark::DoNotOptimize(parsed);
  }
  state.counters["best_us"] = best_ns(2000, [&] {
    auto parsed = w::witness_policy_parse(policy);
    benchmark::DoNotOptimize(parsed);
  }) / 1000.0;
  state.counters["bytes"] = static_cast<double>(policy.size());
}
BENCHMARK(BM_PolicyParse32Witnesses)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
