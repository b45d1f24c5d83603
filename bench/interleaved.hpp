// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
#pragma once
// Side-by-side timing on a loaded machine: in every round each candidate runs its batch in turn,
// so a change of load hits all of them alike. Per-round ratios give a median and a spread
// (lowest and highest round), reported as benchmark counters.
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace qv_bench {

inline double thread_ns() {
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e9 + static_cast<double>(ts.tv_nsec);
}

struct Candidate {
  std::string name;
  std::function<void()> call;
};

inline double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Nanoseconds per call, [candidate][round].
inline std::vector<std::vector<double>> interleave(const std::vector<Candidate>& candidates, int rounds, int calls) {
  std::vector<std::vector<double>> ns(candidates.size());
  for (const Candidate& c : candidates) c.call();  // warm caches and lazy set-up
  for (int r = 0; r < rounds; ++r) {
    for (std::size_t i = 0; i < candidates.size(); ++i) {
      const double start = thread_ns();
      for (int k = 0; k < calls; ++k) candidates[i].call();
      ns[i].push_back((thread_ns() - start) / calls);
    }
  }
  return ns;
}

// Counters: <name>_us (median per call) for every candidate, and for every (numerator,
// denominator) pair <num>/<den> as the median of the per-round ratios with _lo and _hi.
inline void report(benchmark::State& state, const std::vector<Candidate>& candidates,
                   const std::vector<std::vector<double>>& ns, const std::vector<std::pair<std::size_t, std::size_t>>& pairs) {
  for (std::size_t i = 0; i < candidates.size(); ++i) state.counters[candidates[i].name + "_us"] = median(ns[i]) / 1000;
  for (const auto& [num, den] : pairs) {
    std::vector<double> ratio;
    for (std::size_t r = 0; r < ns[num].size(); ++r) ratio.push_back(ns[num][r] / ns[den][r]);
    const std::string name = candidates[num].name + "/" + candidates[den].name;
    state.counters[name] = median(ratio);
    state.counters[name + "_lo"] = *std::min_element(ratio.begin(), ratio.end());
    state.counters[name + "_hi"] = *std::max_element(ratio.begin(), ratio.end());
  }
}

}  // namespace qv_bench
