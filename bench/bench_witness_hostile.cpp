// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
//
// Witness exports on hostile inputs of about 1 MiB, through the C ABI: a policy line of 1 MiB of
// space-separated fields (a comment, and surplus fields on a quorum line); a log-signed note with
// a 900 KB body and 99 copies of one bogus cosignature line from a configured witness; and 99
// distinct bogus lines on a 1 MiB body, where each distinct line costs one pass over the body
// (Ed25519 hashes the whole message). Limit: 20 ms per call for all but the last.
//
// The built library is always measured. When QV_PEER_WITNESS_LIBRARY names another build of
// libquorvantile_witness.so (an older release, say), every case runs against it too, in the
// same run; with --benchmark_repetitions=N --benchmark_enable_random_interleaving=true the
// repetitions of both interleave.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <time.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "note_test_signer.hpp"
#include "quorvantile_witness.h"

namespace {

using qv_test::Ed25519NoteSigner;

struct Library {
  explicit Library(const char* path) : handle(dlopen(path, RTLD_NOW | RTLD_LOCAL)) {
    if (handle == nullptr) throw std::runtime_error(std::string("cannot load ") + path + ": " + dlerror());
    from_bytes = symbol<decltype(from_bytes)>("ffi_quorvantile_witness_rustbuffer_from_bytes");
    free = symbol<decltype(free)>("ffi_quorvantile_witness_rustbuffer_free");
    policy_parse = symbol<decltype(policy_parse)>("uniffi_quorvantile_witness_fn_func_witness_policy_parse");
    verify_cosigned = symbol<decltype(verify_cosigned)>("uniffi_quorvantile_witness_fn_func_checkpoint_verify_cosigned");
  }
  template <class F>
  F symbol(const char* name) const {
    void* p = dlsym(handle, name);
    if (p == nullptr) throw std::runtime_error(std::string("missing ") + name);
    return reinterpret_cast<F>(p);
  }
  RustBuffer text(const std::string& s) const {
    RustCallStatus status{};
    return from_bytes(ForeignBytes{static_cast<int32_t>(s.size()), reinterpret_cast<const uint8_t*>(s.data())},
                      &status);
  }
  void release(RustBuffer buf) const {
    RustCallStatus status{};
    free(buf, &status);
  }

  void* handle;
  RustBuffer (*from_bytes)(ForeignBytes, RustCallStatus*);
  void (*free)(RustBuffer, RustCallStatus*);
  RustBuffer (*policy_parse)(RustBuffer, RustCallStatus*);
  RustBuffer (*verify_cosigned)(RustBuffer, RustBuffer, RustCallStatus*);
};

constexpr std::size_t kMiB = 1 << 20;

std::string fields_line(std::string_view first) {
  std::string line(first);
  while (line.size() < kMiB) line += " a";
  return line;
}

// A checkpoint whose extension lines bring its text to about `size` bytes.
std::string checkpoint_body(std::size_t size) {
  std::string body = "example.com/hostile-log\n42\n" + std::string(43, 'A') + "=\n";
  const std::string extension = std::string(999, 'x') + "\n";
  while (body.size() + extension.size() <= size) body += extension;
  return body;
}

struct Inputs {
  Ed25519NoteSigner log{"example.com/hostile-log", 1};
  Ed25519NoteSigner witness{"hostile-witness", 2, 0x04};
  std::string policy = "log " + log.vkey() + "\nwitness W " + witness.vkey() + "\nquorum none\n";

  // The log's line followed by 99 witness lines claiming timestamp 7 with a bogus signature whose
  // S is canonical, so that verification gets as far as hashing the message; the signature bytes
  // are all equal, or differ from line to line.
  std::string note(std::size_t body_size, bool distinct) const {
    const std::string body = checkpoint_body(body_size);
    std::string out = body + "\n" + log.line(body);
    for (uint8_t i = 0; i < 99; ++i) {
      std::vector<uint8_t> blob(72, 0x22);
      blob[7] = 7;
      blob.back() = 0;  // S below the group order
      if (distinct) blob[8] = i;
      out += witness.line_with(blob);
    }
    return out;
  }
};

const Inputs& inputs() {
  static const Inputs in;
  return in;
}

// Thread CPU time: the figures stay comparable when other work shares the machine.
double thread_seconds() {
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Each iteration's time is the export call's thread CPU time, argument buffers built beforehand.
// `call` builds its arguments, calls the export and returns the thread CPU seconds of the call.
template <class Call>
void timed(benchmark::State& state, const Call& call) {
  for (auto _ : state) state.SetIterationTime(call());
}

void policy_case(benchmark::State& state, const Library* lib, std::string policy) {
  timed(state, [&] {
    const RustBuffer argument = lib->text(policy);
    RustCallStatus status{};
    const double start = thread_seconds();
    const RustBuffer out = lib->policy_parse(argument, &status);
    const double stop = thread_seconds();
    lib->release(out);
    if (status.code != 0) lib->release(status.error_buf);
    return stop - start;
  });
  state.counters["bytes"] = static_cast<double>(policy.size());
}

void cosigned_case(benchmark::State& state, const Library* lib, std::string note) {
  timed(state, [&] {
    const RustBuffer note_argument = lib->text(note), policy_argument = lib->text(inputs().policy);
    RustCallStatus status{};
    const double start = thread_seconds();
    const RustBuffer out = lib->verify_cosigned(note_argument, policy_argument, &status);
    const double stop = thread_seconds();
    lib->release(out);
    if (status.code != 0) throw std::runtime_error("the note must verify (the witness is only rejected)");
    return stop - start;
  });
  state.counters["bytes"] = static_cast<double>(note.size());
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::pair<std::string, std::unique_ptr<Library>>> libraries;
  libraries.emplace_back("built", std::make_unique<Library>(QV_WITNESS_LIBRARY_PATH));
  if (const char* peer = std::getenv("QV_PEER_WITNESS_LIBRARY")) libraries.emplace_back("peer", std::make_unique<Library>(peer));
  const std::string comment = fields_line("#") + "\nquorum none\n";
  const std::string surplus = fields_line("quorum none") + "\n";
  const std::string identical = inputs().note(900 * 1024, false);
  const std::string distinct = inputs().note(kMiB, true);
  for (const auto& [label, owned] : libraries) {
    const Library* lib = owned.get();
    benchmark::RegisterBenchmark(("policy_1MiB_comment_line/" + label).c_str(), policy_case, lib, comment)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("policy_1MiB_surplus_fields/" + label).c_str(), policy_case, lib, surplus)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("cosigned_900KB_99_identical_bogus_lines/" + label).c_str(), cosigned_case, lib,
                                 identical)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("cosigned_1MiB_99_distinct_bogus_lines/" + label).c_str(), cosigned_case, lib,
                                 distinct)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
