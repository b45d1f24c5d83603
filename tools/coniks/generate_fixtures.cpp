// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Writes the CONIKS and key-history fixtures of the ABI tests (tests/data/coniks/proofs.json) and
// of the demo (demo/data/coniks.txt, demo/data/key_history.txt) from the test-side directory
// builder. Build and run from the repository root after `cmake --build --preset release`:
//   g++ -std=c++23 -O1 -DQV_VECTORS_DIR=\"\" -DQV_TEST_DATA_DIR=\"\" -Isrc -Iinclude -Iquorvantile_crypto/include -Itests/unit -Itests/support \
//     tools/coniks/generate_fixtures.cpp build/release/libquorvantile_log_core.a \
//     build/release/quorvantile_crypto/libquorvantile_crypto.a -lcrypto -o /tmp/gen && /tmp/gen
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>

#include "coniks_directory.hpp"
#include "leaf/key_history.hpp"
#include "merkle_reference.hpp"
#include "test_support.hpp"

namespace {

using qv_test::to_hex;
using qv_test::coniks::Directory;
using qv_test::ref::Bytes;
using qv_test::ref::text;

Bytes id(int i) { return text("member" + std::to_string(i) + "@example.org"); }

}  // namespace

int main() {
  const std::string ns = "example.org";
  Directory d(ns, Bytes(32, 0x5c));
  for (int i = 0; i < 24; ++i) {
    d.add({id(i), text("x25519:" + std::string(32, static_cast<char>('a' + i % 26))), Bytes(32, static_cast<uint8_t>(i))});
  }
  const Bytes root = d.root();

  nlohmann::json j;
  j["namespace"] = ns;
  j["vrf_public"] = to_hex(d.vrf_public());
  j["root"] = to_hex(root);
  for (int i : {0, 5, 23}) {
    j["lookups"].push_back({{"identity", to_hex(id(i))}, {"value", to_hex(text("x25519:" + std::string(32, static_cast<char>('a' + i % 26))))},
                            {"proof", to_hex(d.lookup_proof(id(i)))}});
  }
  for (int i : {100, 101}) j["absences"].push_back({{"identity", to_hex(id(i))}, {"proof", to_hex(d.absence_proof(id(i)))}});
  std::ofstream("tests/data/coniks/proofs.json") << j.dump(2) << "\n";

  std::ofstream demo("demo/data/coniks.txt");
  demo << ns << "\n" << to_hex(d.vrf_public()) << "\n" << to_hex(root) << "\n"
       << to_hex(id(5)) << "\n" << to_hex(d.lookup_proof(id(5))) << "\n"
       << to_hex(id(100)) << "\n" << to_hex(d.absence_proof(id(100))) << "\n";

  // A chain of five key-history entries appended to a seven-leaf log (two other leaves first);
  // the demo recomputes the leaf hash of entry 3 and proves it included.
  std::vector<qv_test::rfc6962::Hash> leaves;
  for (uint8_t other : {0xA1, 0xA2}) leaves.push_back(qv_test::rfc6962::sha(0x00, &other, 1));
  std::optional<Bytes> prev;
  Bytes prev_of_3;
  for (uint64_t seq = 0; seq < 5; ++seq) {
    const Bytes x(32, static_cast<uint8_t>(0x10 + seq)), pq(1184, static_cast<uint8_t>(0x20 + seq)),
        sig(32, static_cast<uint8_t>(0x30 + seq));
    if (seq == 3) prev_of_3 = *prev;
    const Bytes leaf = *quorvantile_log::leaf::key_history_v1_rfc6962_leaf_hash(seq, 1765000000000 + seq, x, pq, sig, prev);
    qv_test::rfc6962::Hash h;
    std::copy(leaf.begin(), leaf.end(), h.begin());
    leaves.push_back(h);
    prev = *quorvantile_log::leaf::key_history_v1_entry_hash(seq, 1765000000000 + seq, x, pq, sig, prev);
  }
  const qv_test::rfc6962::Tree tree(leaves);
  std::ofstream kh("demo/data/key_history.txt");
  // Entry 3: seq, ts_ms, enc_x25519, enc_pq, signing_pub, previous entry hash; then its log
  // index, the log size, the root and the inclusion proof, one hash per line.
  kh << 3 << "\n" << 1765000000003ull << "\n" << to_hex(Bytes(32, 0x13)) << "\n" << to_hex(Bytes(1184, 0x23)) << "\n"
     << to_hex(Bytes(32, 0x33)) << "\n" << to_hex(prev_of_3) << "\n" << 5 << "\n" << leaves.size() << "\n"
     << to_hex(tree.root(leaves.size())) << "\n";
  for (const auto& p : tree.inclusion(5, leaves.size())) kh << to_hex(p) << "\n";
  std::cout << "wrote fixtures\n";
}
