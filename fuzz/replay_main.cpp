// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Replays the committed seeds of the export fuzz targets without libFuzzer, so that the test
// suite runs every seed through its target's oracles. Each target is compiled with its entry
// points renamed (see CMakeLists.txt) and listed in the generated replay_targets.inc.
//
//   qv_fuzz_replay TARGET CORPUS_DIR
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <vector>

#define QV_REPLAY_TARGET(name)                                        \
  extern "C" int replay_init_##name(int*, char***);                   \
  extern "C" int replay_one_##name(const uint8_t*, std::size_t);
#include "replay_targets.inc"
#undef QV_REPLAY_TARGET

namespace {

struct Target {
  std::string_view name;
  int (*init)(int*, char***);
  int (*one)(const uint8_t*, std::size_t);
};

constexpr Target kTargets[] = {
#define QV_REPLAY_TARGET(name) {#name, replay_init_##name, replay_one_##name},
#include "replay_targets.inc"
#undef QV_REPLAY_TARGET
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s TARGET CORPUS_DIR\n", argv[0]);
    return 2;
  }
  const auto target = std::find_if(std::begin(kTargets), std::end(kTargets),
                                   [&](const Target& t) { return t.name == argv[1]; });
  if (target == std::end(kTargets)) {
    std::fprintf(stderr, "unknown target %s\n", argv[1]);
    return 2;
  }
  std::vector<std::filesystem::path> seeds;
  for (const auto& entry : std::filesystem::directory_iterator(argv[2]))
    if (entry.is_regular_file()) seeds.push_back(entry.path());
  std::sort(seeds.begin(), seeds.end());
  if (seeds.empty()) {
    std::fprintf(stderr, "no seeds in %s\n", argv[2]);
    return 1;
  }
  target->init(&argc, &argv);
  for (const auto& path : seeds) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    target->one(data.data(), data.size());  // an oracle that fails aborts the process
  }
  std::printf("%s: %zu passed, 0 failed\n", argv[1], seeds.size());
  return 0;
}
