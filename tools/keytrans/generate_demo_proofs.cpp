// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Writes the demo's key-transparency fixtures into demo/data/ from the test-side directory:
// a directory under the default suite (0xF000, context "demo/keytrans/v1") with "alice" at five
// versions and a few other labels, in a log of 12 entries. Built by hand when the fixtures change:
//   g++ -std=c++23 -Isrc -Iquorvantile_crypto/include -Itests/support tools/keytrans/generate_demo_proofs.cpp \
//     build/release/libquorvantile_log_core.a build/release/quorvantile_crypto/libquorvantile_crypto.a -lcrypto
// and copy the files into tests/data/keytrans/ as well (the ABI tests read them there).
#include <fstream>

#include "kt_directory.hpp"

namespace {

void write(const std::string& name, const qv_kt::Bytes& bytes) {
  std::ofstream out("demo/data/" + name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main() {
  qv_kt::Directory d(qv_kt::suites()[0], "demo/keytrans/v1");
  d.add_label(qv_kt::to_bytes("alice"), 5);
  for (const char* other : {"bob", "carol", "dave", "erin"}) d.add_label(qv_kt::to_bytes(other), 2);
  d.publish(12, 11);
  const auto root = d.root();
  write("keytrans.vrf_public", d.vrf_public());
  write("keytrans.root", qv_kt::Bytes(root.begin(), root.end()));
  write("keytrans_search_alice.proof", qv_kt::encode(d.search(qv_kt::to_bytes("alice"))));
  write("keytrans_search_mallory.proof", qv_kt::encode(d.search(qv_kt::to_bytes("mallory"))));
  write("keytrans_monitor_alice_3.proof", qv_kt::encode(d.monitor(qv_kt::to_bytes("alice"), 3)));
  write("keytrans_fixed_alice_2.proof", qv_kt::encode(d.fixed_version(qv_kt::to_bytes("alice"), 2)));
  return 0;
}
