// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
//
// Writes a two-entry key-transparency log into tests/data/keytrans/: entry 0 holds the directory
// with "alice" at versions 0..4, entry 1 the same directory after versions 5 and 6 were added.
// Search, fixed-version (alice 4) and monitoring (alice 4) proofs about each entry share one
// combined root, so a test can tell an answer about the latest entry from one about an older
// entry. Default suite (0xF000), context "demo/keytrans/v1", the demo's VRF key. Built by hand
// when the fixtures change:
//   g++ -std=c++23 -Isrc -Iquorvantile_crypto/include -Itests/support tools/keytrans/generate_two_entry_proofs.cpp \
//     build/release/libquorvantile_log_core.a build/release/libquorvantile_log_work.a \
//     build/release/quorvantile_crypto/libquorvantile_crypto.a -lcrypto
#include <fstream>

#include "kt_directory.hpp"

namespace {

void write(const std::string& name, const qv_kt::Bytes& bytes) {
  std::ofstream out("tests/data/keytrans/" + name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main() {
  const auto alice = qv_kt::to_bytes("alice");
  qv_kt::Directory before(qv_kt::suites()[0], "demo/keytrans/v1");
  qv_kt::Directory after(qv_kt::suites()[0], "demo/keytrans/v1");
  for (qv_kt::Directory* d : {&before, &after})
    for (const char* other : {"bob", "carol"}) d->add_label(qv_kt::to_bytes(other), 2);
  before.add_label(alice, 5);
  after.add_label(alice, 7);
  before.publish(1, 0);
  after.publish(1, 0);
  const std::vector<qv_kt::Hash32> history = {before.prefix_root(), after.prefix_root()};
  before.publish_history(history, 0);
  after.publish_history(history, 1);
  if (before.root() != after.root()) return 1;

  const auto root = after.root();
  write("keytrans_two_entry.root", qv_kt::Bytes(root.begin(), root.end()));
  for (auto [d, entry] : {std::pair{&before, "0"}, std::pair{&after, "1"}}) {
    const std::string suffix = std::string("_entry") + entry + ".proof";
    write("keytrans_two_entry_search_alice" + suffix, qv_kt::encode(d->search(alice)));
    write("keytrans_two_entry_fixed_alice_4" + suffix, qv_kt::encode(d->fixed_version(alice, 4)));
    write("keytrans_two_entry_monitor_alice_4" + suffix, qv_kt::encode(d->monitor(alice, 4)));
  }
  return 0;
}
