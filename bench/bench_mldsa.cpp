// ML-DSA verification against its physical limit: the SHAKE output one verification consumes,
// produced by the same OpenSSL in the same run (one reused context, one init/absorb/squeeze per
// hash, exactly the lengths verification absorbs and squeezes). The summary prints the ratio.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

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
}

// Prints each set's verification time over its SHAKE limit, and against the time the portable
// FIPS 204 reference code takes on this kind of machine. CPU time, not wall time: the build
// machines are shared, and preemption inflates wall time of whichever benchmark it hits.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && !run.error_occurred) times_[run.benchmark_name()] = run.GetAdjustedCPUTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const std::map<std::string, double> reference_us{{"44", 75.0}, {"65", 111.0}, {"87", 188.0}};
    for (const auto& [set, reference] : reference_us) {
      const auto verify = times_.find("MlDsaVerify/" + set);
      const auto limit = times_.find("ShakeLimit/" + set);
      if (verify == times_.end() || limit == times_.end()) continue;
      std::printf("ML-DSA-%s: verify %.1f us, SHAKE limit %.1f us, ratio %.2fx (target <= 2.0x); reference ~%.0f us, %.2fx of it\n",
                  set.c_str(), verify->second / 1e3, limit->second / 1e3, verify->second / limit->second, reference,
                  verify->second / 1e3 / reference);
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  register_set<detail::MlDsa44Params>(ParameterSet::MlDsa44, 44);
  register_set<detail::MlDsa65Params>(ParameterSet::MlDsa65, 65);
  register_set<detail::MlDsa87Params>(ParameterSet::MlDsa87, 87);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
