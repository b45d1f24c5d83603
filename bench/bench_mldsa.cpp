// ML-DSA verification against its physical limit: the SHAKE output one verification consumes,
// produced by the same OpenSSL in the same run (one reused context, one init/absorb/squeeze per
// hash, exactly the lengths verification absorbs and squeezes). The summary prints the ratio,
// and the default (four-lane) verification against the same verification with the matrix
// expanded one OpenSSL lane at a time. Four SHAKE128 matrix entries through the lanes against
// the same four through OpenSSL show the Keccak alone; eight entries squeezed side by side
// (shake128_short_inputs, as the matrix expansion runs them) against eight through OpenSSL show
// the register-resident squeeze on each permutation. Verification is also timed on every
// expansion path the CPU runs.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "keccak/keccak.hpp"
#include "mldsa/expansion.hpp"
#include "mldsa/params.hpp"
#include "openssl_util.hpp"
#include "quorvantile_crypto/mldsa.hpp"
#include "test_support.hpp"

namespace {

namespace ossl = quorvantile_crypto::ossl;
namespace detail = quorvantile_crypto::mldsa::detail;
using quorvantile_crypto::mldsa::ParameterSet;

std::vector<uint8_t> from_hex(const std::string& hex) {
  std::vector<uint8_t> out(hex.size() / 2);
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = static_cast<uint8_t>(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
  return out;
}

struct Vector {
  std::vector<uint8_t> public_key, message, signature;
};

// The first valid Wycheproof case of the set (an 11-byte message, empty context).
Vector load_vector(int set) {
  const auto doc =
      qv_test::read_json(qv_test::vectors_dir() / "wycheproof" / ("mldsa_" + std::to_string(set) + "_verify_test.json"));
  const auto& group = doc.at("testGroups").at(0);
  const auto& test = group.at("tests").at(0);
  if (test.at("result") != "valid") throw std::runtime_error("first case is not valid");
  return {from_hex(group.at("publicKey")), from_hex(test.at("msg")), from_hex(test.at("sig"))};
}

void bench_verify(benchmark::State& state, ParameterSet params, int set) {
  const Vector v = load_vector(set);
  if (!quorvantile_crypto::mldsa::verify(params, v.public_key, v.message, v.signature)) {
    state.SkipWithError("vector does not verify");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(quorvantile_crypto::mldsa::verify(params, v.public_key, v.message, v.signature));
  }
}

void bench_verify_on(benchmark::State& state, detail::Expansion expansion, ParameterSet params, int set) {
  const Vector v = load_vector(set);
  if (!detail::verify_on(expansion, params, v.public_key, v.message, v.signature)) {
    state.SkipWithError("vector does not verify");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(detail::verify_on(expansion, params, v.public_key, v.message, v.signature));
  }
}

// Four 34-byte seeds, 840 bytes of SHAKE128 each: one batch of the matrix expansion.
constexpr std::size_t kEntryBytes = 5 * 168;

void bench_lanes(benchmark::State& state, quorvantile_crypto::keccak::Permutation permutation) {
  namespace keccak = quorvantile_crypto::keccak;
  std::array<std::array<uint8_t, 34>, 4> seeds{};
  std::array<quorvantile_crypto::ByteView, 4> inputs;
  for (std::size_t i = 0; i < 4; ++i) {
    seeds[i][32] = static_cast<uint8_t>(i);
    inputs[i] = seeds[i];
  }
  std::array<std::array<uint8_t, kEntryBytes>, 4> out;
  std::array<std::span<uint8_t>, 4> spans{out[0], out[1], out[2], out[3]};
  for (auto _ : state) {
    keccak::hash(keccak::Function::Shake128, inputs, spans, permutation);
    benchmark::DoNotOptimize(out);
  }
}

void bench_short_inputs(benchmark::State& state, quorvantile_crypto::keccak::Permutation permutation) {
  namespace keccak = quorvantile_crypto::keccak;
  std::array<std::array<uint8_t, 34>, 8> seeds{};
  std::array<quorvantile_crypto::ByteView, 8> inputs;
  std::array<std::array<uint8_t, kEntryBytes>, 8> out;
  std::array<uint8_t*, 8> pointers;
  for (std::size_t i = 0; i < 8; ++i) {
    seeds[i][32] = static_cast<uint8_t>(i);
    inputs[i] = seeds[i];
    pointers[i] = out[i].data();
  }
  for (auto _ : state) {
    keccak::shake128_short_inputs(inputs, kEntryBytes / 168, pointers, permutation);
    benchmark::DoNotOptimize(out);
  }
}

void bench_openssl_eight(benchmark::State& state) {
  std::array<std::array<uint8_t, 34>, 8> seeds{};
  for (std::size_t i = 0; i < 8; ++i) seeds[i][32] = static_cast<uint8_t>(i);
  std::array<uint8_t, kEntryBytes> out;
  auto ctx = ossl::new_md_ctx();
  for (auto _ : state) {
    for (const auto& seed : seeds) {
      ossl::digest_init(ctx.get(), ossl::shake128());
      ossl::digest_update(ctx.get(), seed);
      ossl::digest_final_xof(ctx.get(), out.data(), out.size());
      benchmark::DoNotOptimize(out);
    }
  }
}

void bench_openssl_four(benchmark::State& state) {
  std::array<std::array<uint8_t, 34>, 4> seeds{};
  for (std::size_t i = 0; i < 4; ++i) seeds[i][32] = static_cast<uint8_t>(i);
  std::array<uint8_t, kEntryBytes> out;
  auto ctx = ossl::new_md_ctx();
  for (auto _ : state) {
    for (const auto& seed : seeds) {
      ossl::digest_init(ctx.get(), ossl::shake128());
      ossl::digest_update(ctx.get(), seed);
      ossl::digest_final_xof(ctx.get(), out.data(), out.size());
      benchmark::DoNotOptimize(out);
    }
  }
}

// The hashing of one verification: tr = H(pk, 64), mu = H(tr || M', 64), SampleInBall's one
// SHAKE256 block, k*l matrix entries of 5 SHAKE128 blocks each, and H(mu || w1Encode, lambda/4).
template <class P>
void bench_shake_limit(benchmark::State& state, int set) {
  const Vector v = load_vector(set);
  std::vector<uint8_t> w1(P::k * P::w1_poly_bytes, 0x5a);
  const std::array<uint8_t, 2> domain{0, 0};
  std::array<uint8_t, 64> tr{}, mu{};
  std::array<uint8_t, 136> challenge{};
  std::array<uint8_t, 5 * 168> entry{};
  std::array<uint8_t, P::ctilde_bytes> ctilde{};
  auto ctx = ossl::new_md_ctx();
  for (auto _ : state) {
    ossl::digest_init(ctx.get(), ossl::shake256());
    ossl::digest_update(ctx.get(), v.public_key);
    ossl::digest_final_xof(ctx.get(), tr.data(), tr.size());
    ossl::digest_init(ctx.get(), ossl::shake256());
    ossl::digest_update(ctx.get(), tr);
    ossl::digest_update(ctx.get(), domain);
    ossl::digest_update(ctx.get(), v.message);
    ossl::digest_final_xof(ctx.get(), mu.data(), mu.size());
    ossl::digest_init(ctx.get(), ossl::shake256());
    ossl::digest_update(ctx.get(), quorvantile_crypto::ByteView(v.signature).first(P::ctilde_bytes));
    ossl::digest_final_xof(ctx.get(), challenge.data(), challenge.size());
    for (int row = 0; row < P::k; ++row) {
      for (int column = 0; column < P::l; ++column) {
        const std::array<uint8_t, 2> indices{static_cast<uint8_t>(column), static_cast<uint8_t>(row)};
        ossl::digest_init(ctx.get(), ossl::shake128());
        ossl::digest_update(ctx.get(), quorvantile_crypto::ByteView(v.public_key).first(32));
        ossl::digest_update(ctx.get(), indices);
        ossl::digest_final_xof(ctx.get(), entry.data(), entry.size());
        benchmark::DoNotOptimize(entry);
      }
    }
    ossl::digest_init(ctx.get(), ossl::shake256());
    ossl::digest_update(ctx.get(), mu);
    ossl::digest_update(ctx.get(), w1);
    ossl::digest_final_xof(ctx.get(), ctilde.data(), ctilde.size());
    benchmark::DoNotOptimize(ctilde);
  }
}

template <class P>
void register_set(ParameterSet params, int set) {
  const std::string name = std::to_string(set);
  benchmark::RegisterBenchmark(("MlDsaVerify/" + name).c_str(), bench_verify, params, set);
  benchmark::RegisterBenchmark(("ShakeLimit/" + name).c_str(), bench_shake_limit<P>, set);
  benchmark::RegisterBenchmark(("MlDsaVerifyOneLane/" + name).c_str(), bench_verify_on, detail::Expansion::OneLane, params, set);
  const std::pair<detail::Expansion, const char*> paths[] = {{detail::Expansion::FourLanesPortable, "FourLanesPortable"},
                                                             {detail::Expansion::FourLanesAvx2, "FourLanesAvx2"},
                                                             {detail::Expansion::EightLanesAvx512, "EightLanesAvx512"}};
  for (const auto& [path, path_name] : paths) {
    if (!detail::expansion_available(path)) continue;
    benchmark::RegisterBenchmark(("MlDsaVerifyPath/" + std::string(path_name) + "/" + name).c_str(), bench_verify_on, path,
                                 params, set);
  }
}

// Prints each set's verification time over its SHAKE limit, and against the time the portable
// FIPS 204 reference code takes on this kind of machine. CPU time, not wall time: the build
// machines are shared, and preemption inflates wall time of whichever benchmark it hits.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      // With --benchmark_repetitions the median stands for the benchmark, else its one run.
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        medians_[run.run_name.str()] = run.GetAdjustedCPUTime();
      } else if (run.run_type == Run::RT_Iteration) {
        times_[run.benchmark_name()] = run.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const auto& [name, median] : medians_) times_[name] = median;
    const std::map<std::string, double> reference_us{{"44", 75.0}, {"65", 111.0}, {"87", 188.0}};
    for (const auto& [set, reference] : reference_us) {
      const auto verify = times_.find("MlDsaVerify/" + set);
      const auto limit = times_.find("ShakeLimit/" + set);
      if (verify == times_.end() || limit == times_.end()) continue;
      std::printf("ML-DSA-%s: verify %.1f us, SHAKE limit %.1f us, ratio %.2fx (target <= 2.0x); reference ~%.0f us, %.2fx of it\n",
                  set.c_str(), verify->second / 1e3, limit->second / 1e3, verify->second / limit->second, reference,
                  verify->second / 1e3 / reference);
      const auto one_lane = times_.find("MlDsaVerifyOneLane/" + set);
      if (one_lane == times_.end()) continue;
      std::printf("ML-DSA-%s: four-lane verify %.1f us, one-lane verify %.1f us, ratio %.2fx (target <= 0.6x)\n", set.c_str(),
                  verify->second / 1e3, one_lane->second / 1e3, verify->second / one_lane->second);
    }
    const auto openssl_eight = times_.find("KeccakOpenSslEight");
    for (const char* wide : {"KeccakShortInputs/portable", "KeccakShortInputs/avx2", "KeccakShortInputs/avx512"}) {
      const auto it = times_.find(wide);
      if (it == times_.end() || openssl_eight == times_.end()) continue;
      std::printf("%s: eight SHAKE128 entries %.2f us, OpenSSL one at a time %.2f us, ratio %.2fx\n", wide, it->second / 1e3,
                  openssl_eight->second / 1e3, it->second / openssl_eight->second);
    }
    const auto lanes = times_.find("KeccakLanes/avx2");
    const auto portable = times_.find("KeccakLanes/portable");
    const auto openssl = times_.find("KeccakOpenSslFour");
    if (openssl != times_.end()) {
      for (const auto& it : {lanes, portable, times_.find("KeccakLanes/avx512")}) {
        if (it == times_.end()) continue;
        std::printf("%s: four SHAKE128 entries %.2f us, OpenSSL one at a time %.2f us, ratio %.2fx\n", it->first.c_str(),
                    it->second / 1e3, openssl->second / 1e3, it->second / openssl->second);
      }
    }
  }

 private:
  std::map<std::string, double> times_;
  std::map<std::string, double> medians_;
};

}  // namespace

int main(int argc, char** argv) {
  register_set<detail::MlDsa44Params>(ParameterSet::MlDsa44, 44);
  register_set<detail::MlDsa65Params>(ParameterSet::MlDsa65, 65);
  register_set<detail::MlDsa87Params>(ParameterSet::MlDsa87, 87);
  namespace keccak = quorvantile_crypto::keccak;
  if (keccak::avx2_available()) benchmark::RegisterBenchmark("KeccakLanes/avx2", bench_lanes, keccak::Permutation::Avx2);
  benchmark::RegisterBenchmark("KeccakLanes/portable", bench_lanes, keccak::Permutation::Portable);
  benchmark::RegisterBenchmark("KeccakOpenSslFour", bench_openssl_four);
  if (keccak::avx512_available()) {
    benchmark::RegisterBenchmark("KeccakLanes/avx512", bench_lanes, keccak::Permutation::Avx512);
    benchmark::RegisterBenchmark("KeccakShortInputs/avx512", bench_short_inputs, keccak::Permutation::Avx512);
  }
  if (keccak::avx2_available()) benchmark::RegisterBenchmark("KeccakShortInputs/avx2", bench_short_inputs, keccak::Permutation::Avx2);
  benchmark::RegisterBenchmark("KeccakShortInputs/portable", bench_short_inputs, keccak::Permutation::Portable);
  benchmark::RegisterBenchmark("KeccakOpenSslEight", bench_openssl_eight);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
