// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
//
// The post-quantum verifications in units of one libsodium Ed25519 verification, measured side by
// side: ML-DSA-44/65/87 verify and the verification of a signed note carrying one composite line
// of tag 0x02 (Ed25519 + ML-DSA-65) or 0x10 (ML-DSA-87 alone). Each round times a batch of every
// workload in turn (the order rotating between rounds) on the thread's CPU clock, and divides by
// the libsodium batch of the same round (this library's own Ed25519 verification, the classical
// half of tag 0x02, is listed as well); the summary gives each ratio's median and its spread
// (10th to 90th percentile, and min to max) over the rounds, with the CPU's vector flags.
//
//   bench_pq_units [rounds] [milliseconds per batch]
//
// Only public interfaces are used, so the same file builds against an older tree for a
// before/after comparison.
#include <time.h>

#include <cstdio>

#ifndef QV_HAVE_SODIUM
// The unit is libsodium's verification; without the library there is nothing to measure against.
int main() {
  std::fputs("bench_pq_units needs libsodium (libsodium-dev) at build time\n", stderr);
  return 1;
}
#else
#include <sodium.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "note/verify_signed_note.hpp"
#include "quorvantile_crypto/ed25519.hpp"
#include "quorvantile_crypto/mldsa.hpp"
#include "test_support.hpp"

namespace {

using quorvantile_crypto::mldsa::ParameterSet;

double thread_cpu_ns() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

struct Workload {
  Workload(std::string workload_name, std::function<bool()> verify) : name(std::move(workload_name)), run(std::move(verify)) {}
  std::string name;
  std::function<bool()> run;  // true when the input verifies (checked on every batch)
  long batch = 1;
  std::vector<double> ns;     // per operation, one entry per round
};

// One key, a 128-byte message and its signature, made by libsodium from a fixed seed.
struct Signed {
  std::array<uint8_t, 32> public_key{};
  std::array<uint8_t, 64> secret_key{};
  std::array<uint8_t, 64> signature{};
  std::vector<uint8_t> message = std::vector<uint8_t>(128, 0x5a);
};

std::shared_ptr<const Signed> signed_message() {
  if (sodium_init() < 0) throw std::runtime_error("sodium_init");
  auto s = std::make_shared<Signed>();
  std::array<uint8_t, 32> seed{};
  seed.fill(7);
  crypto_sign_seed_keypair(s->public_key.data(), s->secret_key.data(), seed.data());
  crypto_sign_detached(s->signature.data(), nullptr, s->message.data(), s->message.size(), s->secret_key.data());
  return s;
}

Workload sodium_workload() {
  auto s = signed_message();
  return {"libsodium Ed25519 verify", [s] {
            return crypto_sign_verify_detached(s->signature.data(), s->message.data(), s->message.size(),
                                               s->public_key.data()) == 0;
          }};
}

// The same key, message and signature through this library's verification: cofactorless on the
// default backend, or strict on the given one.
Workload own_ed25519_workload(std::optional<quorvantile_crypto::ed25519::Backend> strict_backend = std::nullopt) {
  auto s = signed_message();
  namespace ed = quorvantile_crypto::ed25519;
  if (!strict_backend)
    return {"Ed25519 verify (this library)", [s] { return ed::verify_cofactorless(s->public_key, s->message, s->signature); }};
  const ed::Backend backend = *strict_backend;
  return {backend == ed::Backend::Ifma ? "Ed25519 strict, IFMA backend" : "Ed25519 strict, portable backend",
          [s, backend] { return ed::verify_strict(s->public_key, s->message, s->signature, backend); }};
}

Workload mldsa_workload(ParameterSet params, int set) {
  const auto doc =
      qv_test::read_json(qv_test::vectors_dir() / "wycheproof" / ("mldsa_" + std::to_string(set) + "_verify_test.json"));
  const auto& group = doc.at("testGroups").at(0);
  const auto& test = group.at("tests").at(0);
  auto key = std::make_shared<std::vector<uint8_t>>(qv_test::from_hex(group.at("publicKey").get<std::string>()));
  auto msg = std::make_shared<std::vector<uint8_t>>(qv_test::from_hex(test.at("msg").get<std::string>()));
  auto sig = std::make_shared<std::vector<uint8_t>>(qv_test::from_hex(test.at("sig").get<std::string>()));
  return {"ML-DSA-" + std::to_string(set) + " verify",
          [=] { return quorvantile_crypto::mldsa::verify(params, *key, *msg, *sig); }};
}

Workload note_workload(const std::string& tag) {
  const auto doc = qv_test::read_json(qv_test::data_dir() / "notes" / "composite_notes.json");
  for (const auto& c : doc.at("cases")) {
    if (c.at("tag") != tag || c.at("what") != "valid") continue;
    auto note = std::make_shared<std::string>(c.at("note").get<std::string>());
    auto vkeys = std::make_shared<std::vector<std::string>>(c.at("vkeys").get<std::vector<std::string>>());
    return {"note, one composite line, tag 0x" + tag, [=] {
              const auto r = quorvantile_log::note::verify_signed_note(*note, *vkeys);
              return r.has_value() && *r == 1;
            }};
  }
  throw std::runtime_error("no valid composite note of tag " + tag);
}

double batch_ns(Workload& w) {
  const double start = thread_cpu_ns();
  bool ok = true;
  for (long i = 0; i < w.batch; ++i) ok &= w.run();
  const double elapsed = thread_cpu_ns() - start;
  if (!ok) throw std::runtime_error(w.name + ": input did not verify");
  return elapsed / static_cast<double>(w.batch);
}

double percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  const double index = p * static_cast<double>(v.size() - 1);
  const auto low = static_cast<std::size_t>(index);
  const std::size_t high = std::min(low + 1, v.size() - 1);
  return v[low] + (v[high] - v[low]) * (index - static_cast<double>(low));
}

void print_cpu_flags() {
  const std::string cpuinfo = qv_test::read_file("/proc/cpuinfo");
  const auto flags_at = cpuinfo.find("\nflags");
  const std::string line = cpuinfo.substr(flags_at + 1, cpuinfo.find('\n', flags_at + 1) - flags_at - 1);
  std::string shown;
  for (const char* flag : {"avx2", "avx512f", "avx512vl", "avx512bw", "avx512ifma", "avx512vbmi", "sha_ni", "bmi2", "adx"}) {
    if (line.find(std::string(" ") + flag + " ") != std::string::npos || line.ends_with(std::string(" ") + flag)) {
      shown += std::string(" ") + flag;
    }
  }
  const auto model_at = cpuinfo.find("model name");
  std::printf("CPU:%s\nflags:%s\n", cpuinfo.substr(model_at + 12, cpuinfo.find('\n', model_at) - model_at - 12).c_str(),
              shown.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::stoi(argv[1]) : 31;
  const double batch_target_ns = (argc > 2 ? std::stod(argv[2]) : 3.0) * 1e6;
  std::vector<Workload> workloads{sodium_workload(),
                                  own_ed25519_workload(),
                                  own_ed25519_workload(quorvantile_crypto::ed25519::Backend::Portable),
                                  mldsa_workload(ParameterSet::MlDsa44, 44),
                                  mldsa_workload(ParameterSet::MlDsa65, 65),
                                  mldsa_workload(ParameterSet::MlDsa87, 87),
                                  note_workload("02"),
                                  note_workload("10")};
  if (quorvantile_crypto::ed25519::backend_available(quorvantile_crypto::ed25519::Backend::Ifma)) {
    workloads.insert(workloads.begin() + 3, own_ed25519_workload(quorvantile_crypto::ed25519::Backend::Ifma));
  } else {
    std::printf("this CPU lacks AVX-512F/VL/IFMA: the IFMA Ed25519 backend is not measured\n");
  }
  // Batch sizes from a warm-up, so that each batch takes about the target time.
  for (Workload& w : workloads) {
    for (int i = 0; i < 3; ++i) batch_ns(w);
    w.batch = std::max(1L, static_cast<long>(batch_target_ns / batch_ns(w)));
  }
  for (int round = 0; round < rounds; ++round) {
    for (std::size_t k = 0; k < workloads.size(); ++k) {
      Workload& w = workloads[(k + static_cast<std::size_t>(round)) % workloads.size()];
      w.ns.push_back(batch_ns(w));
    }
  }
  print_cpu_flags();
  const Workload& unit = workloads[0];
  std::printf("%d rounds; unit: %s, median %.2f us\n", rounds, unit.name.c_str(), percentile(unit.ns, 0.5) / 1e3);
  std::printf("%-38s %10s %8s %17s %17s\n", "workload", "median us", "units", "p10-p90 units", "min-max units");
  for (std::size_t k = 1; k < workloads.size(); ++k) {
    const Workload& w = workloads[k];
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round) ratios.push_back(w.ns[static_cast<std::size_t>(round)] / unit.ns[static_cast<std::size_t>(round)]);
    std::printf("%-38s %10.2f %8.3f %8.3f-%-8.3f %8.3f-%-8.3f\n", w.name.c_str(), percentile(w.ns, 0.5) / 1e3,
                percentile(ratios, 0.5), percentile(ratios, 0.1), percentile(ratios, 0.9), percentile(ratios, 0.0),
                percentile(ratios, 1.0));
  }
  return 0;
}

#endif  // QV_HAVE_SODIUM
