// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
//
// What an x86-64 CPU without AVX2, or any other architecture (aarch64), pays for the portable
// code: each AVX2 kernel against its portable twin on the same input, and ML-DSA-65 verification
// on the x86 default path against the path other architectures take (the matrix expanded one
// OpenSSL lane at a time), all in one run with interleaved repetitions. The summary prints each
// kernel's portable/vector ratio (medians, with the spread of the repetitions) and an estimate of
// the fully portable verification: the one-lane verification plus, for every kernel call one
// verification makes, the measured difference between the portable and the vector kernel.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "keccak/keccak.hpp"
#include "mldsa/expansion.hpp"
#include "mldsa/poly_ops.hpp"
#include "mldsa/sampling.hpp"
#include "quorvantile_crypto/mldsa.hpp"
#include "test_support.hpp"

namespace {

namespace keccak = quorvantile_crypto::keccak;
namespace detail = quorvantile_crypto::mldsa::detail;
using detail::Poly;

std::vector<uint8_t> from_hex(const std::string& hex) {
  std::vector<uint8_t> out(hex.size() / 2);
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = static_cast<uint8_t>(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
  return out;
}

// Coefficients below q in magnitude, as the transforms take them.
Poly sample_poly(uint32_t seed) {
  Poly p;
  for (auto& x : p) {
    seed = seed * 1664525u + 1013904223u;
    x = static_cast<int32_t>(seed % (2 * detail::kQ - 1)) - (detail::kQ - 1);
  }
  return p;
}

// Four SHAKE128 streams of one matrix-expansion batch (5 blocks each).
void bench_keccak_lanes(benchmark::State& state, keccak::Permutation permutation) {
  std::array<std::array<uint8_t, 34>, 4> seeds{};
  std::array<quorvantile_crypto::ByteView, 4> inputs;
  for (std::size_t i = 0; i < 4; ++i) {
    seeds[i][32] = static_cast<uint8_t>(i);
    inputs[i] = seeds[i];
  }
  std::array<std::array<uint8_t, 5 * 168>, 4> out;
  const std::array<std::span<uint8_t>, 4> spans{out[0], out[1], out[2], out[3]};
  for (auto _ : state) {
    keccak::hash(keccak::Function::Shake128, inputs, spans, permutation);
    benchmark::DoNotOptimize(out);
  }
}

void bench_transform(benchmark::State& state, void (*transform)(Poly&)) {
  const Poly input = sample_poly(1);
  Poly a;
  for (auto _ : state) {
    a = input;
    transform(a);
    benchmark::DoNotOptimize(a);
  }
}

void bench_multiply_add(benchmark::State& state, void (*multiply_add)(Poly&, const Poly&, const Poly&)) {
  const Poly a = sample_poly(2), b = sample_poly(3);
  Poly acc{};
  for (auto _ : state) {
    multiply_add(acc, a, b);
    benchmark::DoNotOptimize(acc);
  }
}

// RejNTTPoly's acceptance over one matrix entry's 840 SHAKE128 bytes: the AVX2 blocks and the
// scalar tail, or the scalar loop alone (what runs without AVX2).
std::array<uint8_t, 5 * 168> entry_stream() {
  std::array<uint8_t, 5 * 168> bytes;
  const std::array<quorvantile_crypto::ByteView, 1> seed{quorvantile_crypto::ByteView(bytes).first(34)};
  bytes.fill(7);
  const std::array<std::span<uint8_t>, 1> out{bytes};
  keccak::hash(keccak::Function::Shake128, seed, out, keccak::Permutation::Portable);
  return bytes;
}

void accept_scalar(Poly& out, int& count, const uint8_t* bytes, std::size_t& pos, std::size_t end) {
  for (; count < detail::kN && pos + 3 <= end; pos += 3) {
    const auto candidate =
        static_cast<int32_t>(uint32_t{bytes[pos]} | uint32_t{bytes[pos + 1]} << 8 | uint32_t{bytes[pos + 2] & 0x7fu} << 16);
    if (candidate < detail::kQ) out[static_cast<std::size_t>(count++)] = candidate;
  }
}

void bench_accept(benchmark::State& state, bool vector) {
  const auto bytes = entry_stream();
  Poly out;
  for (auto _ : state) {
    int count = 0;
    std::size_t pos = 0;
    if (vector) detail::avx2::accept_uniform_blocks(out, count, bytes.data(), pos, bytes.size());
    accept_scalar(out, count, bytes.data(), pos, bytes.size());
    benchmark::DoNotOptimize(out);
    benchmark::DoNotOptimize(count);
  }
}

void bench_verify(benchmark::State& state, detail::Expansion expansion) {
  const auto doc = qv_test::read_json(qv_test::vectors_dir() / "wycheproof" / "mldsa_65_verify_test.json");
  const auto& group = doc.at("testGroups").at(0);
  const auto& test = group.at("tests").at(0);
  const auto key = from_hex(group.at("publicKey")), message = from_hex(test.at("msg")), signature = from_hex(test.at("sig"));
  const auto params = quorvantile_crypto::mldsa::ParameterSet::MlDsa65;
  if (!detail::verify_on(expansion, params, key, message, signature)) {
    state.SkipWithError("vector does not verify");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(detail::verify_on(expansion, params, key, message, signature));
}

// Kernel name -> calls per ML-DSA-65 verification (k = 6 rows, l = 5 columns): NTT of c, z and
// each t1 row; a product per matrix entry and per row; one inverse per row; one acceptance per
// matrix entry. The Keccak lanes are not counted: without AVX2 the matrix goes through OpenSSL.
const std::map<std::string, int> kCallsPerVerify{{"Ntt", 1 + 5 + 6}, {"InverseNtt", 6}, {"MultiplyAdd", 30 + 6}, {"Accept", 30}};

class PairReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    // Every repetition is kept for the summary; the console shows single runs and aggregates.
    std::vector<Run> shown;
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && !run.error_occurred) times_[run.run_name.str()].push_back(run.GetAdjustedCPUTime());
      if (run.run_type == Run::RT_Aggregate || run.repetitions <= 1) shown.push_back(run);
    }
    if (!shown.empty()) ConsoleReporter::ReportRuns(shown);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    double extra_ns = 0;
    for (const std::string kernel : {"KeccakFourLanes", "Ntt", "InverseNtt", "MultiplyAdd", "Accept"}) {
      const auto vector = summary(kernel + "/avx2"), portable = summary(kernel + "/portable");
      if (!vector || !portable) continue;
      std::printf("%-16s avx2 %8.1f ns [%.1f..%.1f], portable %8.1f ns [%.1f..%.1f], portable/avx2 %.2fx\n", kernel.c_str(),
                  vector->median, vector->low, vector->high, portable->median, portable->low, portable->high,
                  portable->median / vector->median);
      const auto calls = kCallsPerVerify.find(kernel);
      if (calls != kCallsPerVerify.end()) extra_ns += calls->second * (portable->median - vector->median);
    }
    const auto fast = summary("MlDsa65Verify/four-avx2-lanes"), one_lane = summary("MlDsa65Verify/one-openssl-lane");
    if (!fast || !one_lane) return;
    const double estimate = one_lane->median + extra_ns;
    std::printf("ML-DSA-65 verify: x86 default %.1f us [%.1f..%.1f], one OpenSSL lane %.1f us [%.1f..%.1f], "
                "estimated fully portable %.1f us (%.2fx the default)\n",
                fast->median / 1e3, fast->low / 1e3, fast->high / 1e3, one_lane->median / 1e3, one_lane->low / 1e3,
                one_lane->high / 1e3, estimate / 1e3, estimate / fast->median);
  }

 private:
  struct Summary {
    double median, low, high;
  };
  std::optional<Summary> summary(const std::string& name) const {
    const auto it = times_.find(name);
    if (it == times_.end() || it->second.empty()) return std::nullopt;
    std::vector<double> t = it->second;
    std::sort(t.begin(), t.end());
    return Summary{t[t.size() / 2], t.front(), t.back()};
  }
  std::map<std::string, std::vector<double>> times_;
};

}  // namespace

int main(int argc, char** argv) {
  if (keccak::avx2_available()) {
    benchmark::RegisterBenchmark("KeccakFourLanes/avx2", bench_keccak_lanes, keccak::Permutation::Avx2);
    benchmark::RegisterBenchmark("Ntt/avx2", bench_transform, detail::avx2::ntt);
    benchmark::RegisterBenchmark("InverseNtt/avx2", bench_transform, detail::avx2::inverse_ntt_to_montgomery);
    benchmark::RegisterBenchmark("MultiplyAdd/avx2", bench_multiply_add, detail::avx2::multiply_add_montgomery);
    benchmark::RegisterBenchmark("Accept/avx2", bench_accept, true);
    benchmark::RegisterBenchmark("MlDsa65Verify/four-avx2-lanes", bench_verify, detail::Expansion::FourLanesAvx2);
  }
  benchmark::RegisterBenchmark("KeccakFourLanes/portable", bench_keccak_lanes, keccak::Permutation::Portable);
  benchmark::RegisterBenchmark("Ntt/portable", bench_transform, detail::portable::ntt);
  benchmark::RegisterBenchmark("InverseNtt/portable", bench_transform, detail::portable::inverse_ntt_to_montgomery);
  benchmark::RegisterBenchmark("MultiplyAdd/portable", bench_multiply_add, detail::portable::multiply_add_montgomery);
  benchmark::RegisterBenchmark("Accept/portable", bench_accept, false);
  benchmark::RegisterBenchmark("MlDsa65Verify/one-openssl-lane", bench_verify, detail::Expansion::OneLane);
  // Interleaved repetitions unless the command line says otherwise.
  std::vector<char*> args(argv, argv + argc);
  std::string repetitions = "--benchmark_repetitions=9", interleave = "--benchmark_enable_random_interleaving=true";
  args.insert(args.begin() + 1, {repetitions.data(), interleave.data()});
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
  PairReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
