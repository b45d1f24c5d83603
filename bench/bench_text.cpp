// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
// The strict base64 decoder and the UTF-8 check side by side with their one-step-at-a-time
// references (interleaved rounds, median ratios with their spread), on a composite signature's
// worth of base64 (9.6 k characters), a short root, ASCII note text and text that is one third
// two- and three-byte characters.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "../tests/support/text_reference.hpp"
#include "encoding/base64.hpp"
#include "interleaved.hpp"
#include "text/utf8.hpp"

namespace {

using quorvantile_log::encoding::Bytes;

void BM_Base64DecodeSideBySide(benchmark::State& state) {
  Bytes bytes(static_cast<std::size_t>(state.range(0)));
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 131 + 7);
  const std::string text = quorvantile_log::encoding::base64_encode(bytes);
  const std::vector<qv_bench::Candidate> candidates = {
      {"fast", [&] { benchmark::DoNotOptimize(quorvantile_log::encoding::base64_decode(text)); }},
      {"reference", [&] { benchmark::DoNotOptimize(qv_test::reference::base64_decode(text)); }}};
  const int calls = text.size() > 1000 ? 200 : 5000;
  for (auto _ : state) qv_bench::report(state, candidates, qv_bench::interleave(candidates, 21, calls), {{0, 1}});
  state.counters["chars"] = static_cast<double>(text.size());
}
BENCHMARK(BM_Base64DecodeSideBySide)->Arg(32)->Arg(7200)->Iterations(1);

void BM_Utf8CheckSideBySide(benchmark::State& state) {
  std::string text;
  const bool mixed = state.range(0) == 1;
  while (text.size() < 9600) text += mixed ? "caf\xC3\xA9 \xE2\x80\x94 na\xC3\xAFve " : "origin.example/log 1024 ";
  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  const std::vector<qv_bench::Candidate> candidates = {
      {"fast", [&] { benchmark::DoNotOptimize(quorvantile_log::utf8::check(bytes)); }},
      {"reference", [&] { benchmark::DoNotOptimize(qv_test::reference::utf8_check(bytes)); }}};
  for (auto _ : state) qv_bench::report(state, candidates, qv_bench::interleave(candidates, 21, 200), {{0, 1}});
  state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_Utf8CheckSideBySide)->ArgName("mixed")->Arg(0)->Arg(1)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
