// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// No export call holds more than 4 x its argument bytes + 64 KiB at once, on the shared call
// table's inputs and on hostile ones (huge declared counts, deepest ladders, longest paths,
// megabyte texts and tokens). Each row is an (export, input kind); a sweep row runs many inputs
// and reports its worst. The table printed at the end gives each export's largest peak.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "counting_allocator.hpp"
#include "hostile_inputs.hpp"

namespace qv_alloc {
namespace {

using qv_calls::Arg;

struct Worst {
  int64_t peak = 0;
  std::size_t arg_bytes = 0;
  double share() const { return static_cast<double>(peak) / static_cast<double>(call_bound(arg_bytes)); }
  double ratio() const { return static_cast<double>(peak) / static_cast<double>(std::max<std::size_t>(arg_bytes, 1)); }
};

// The peak of one call, measured from after its argument buffers exist until its result and
// error buffers are handed back (they count: the call allocated them).
int64_t measure(const qv_calls::Export& e, const std::vector<Arg>& args) {
  const std::vector<RustBuffer> bufs = qv_calls::lower(args);
  qv_calls::Raw raw;
  const int64_t peak = peak_during([&] { e.invoke(args, bufs, raw); });
  qv_calls::finish(raw);
  return peak;
}

struct Row {
  std::string fn, kind;
  std::vector<std::vector<Arg>> variants;
};

std::vector<Row> rows() {
  std::vector<Row> out;
  const auto table = qv_test::read_json(qv_test::data_dir() / "bindings" / "calls.json");
  std::map<std::string, Row> plain;
  for (const auto& c : table["calls"]) {
    const auto& e = qv_calls::by_name(c["function"].get<std::string>());
    auto& row = plain[e.name];
    row.fn = e.name;
    row.kind = "call table";
    row.variants.push_back(qv_calls::from_plain(e, c["args"]));
  }
  for (auto& [name, row] : plain) out.push_back(std::move(row));
  for (const auto& h : qv_hostile::inputs()) out.push_back(Row{h.fn, h.kind, h.variants});
  return out;
}

TEST(AllocationBound, NoExportHoldsMoreThanFourTimesItsArgumentsPlus64KiB) {
  ASSERT_TRUE(openssl_hooked());
  const std::vector<Row> table = rows();
  std::map<std::string, Worst> per_export;
  std::set<std::string> reached;
  std::size_t calls = 0;
  std::printf("%-40s %-40s %9s %9s %7s\n", "export", "input", "arg bytes", "peak", "bound");
  for (const auto& row : table) {
    const auto& e = qv_calls::by_name(row.fn);
    reached.insert(e.name);
    // The first call of an export may fill the library's process-wide algorithm handles and
    // OpenSSL's per-thread state; those outlive every call and are not the call's to bound.
    qv_calls::call(e, row.variants.front());
    Worst worst;
    for (const auto& args : row.variants) {
      const std::size_t n = qv_calls::arg_bytes(args);
      const int64_t peak = measure(e, args);
      ++calls;
      EXPECT_LE(peak, call_bound(n)) << row.fn << " on " << row.kind << ": " << peak << " bytes for " << n
                                     << " argument bytes";
      const Worst here{peak, n};
      if (here.share() > worst.share()) worst = here;
    }
    std::printf("%-40s %-40s %9zu %9lld %6.1f%%\n", row.fn.c_str(), row.kind.c_str(), worst.arg_bytes,
                static_cast<long long>(worst.peak), 100 * worst.share());
    auto& w = per_export[row.fn];
    if (worst.share() > w.share()) w = worst;
  }
  EXPECT_EQ(reached.size(), qv_calls::exports().size());
  std::printf("\n%zu calls. Largest peak per export (peak / argument bytes; peak / bound):\n", calls);
  for (const auto& [name, w] : per_export) {
    std::printf("  %-40s %8.3f  %6.1f%%  (%lld bytes for %zu)\n", name.c_str(), w.ratio(), 100 * w.share(),
                static_cast<long long>(w.peak), w.arg_bytes);
  }
}

}  // namespace
}  // namespace qv_alloc
