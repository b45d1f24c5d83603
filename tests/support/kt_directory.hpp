// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// A key-transparency directory for tests, written from the format description alone: it hashes
// with OpenSSL directly and encodes proofs with its own writer. It holds labels with versions in
// a prefix tree keyed by the VRF outputs of (label, version), a log of (timestamp, prefix root)
// entries, and produces search, monitoring and fixed-version proofs as editable structures, so a
// test can forge one field and encode. Only the VRF prover comes from the library (the VRFs have
// their own published vectors).
#include <openssl/evp.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vrf/vrf.hpp"

namespace qv_kt {

using Bytes = std::vector<uint8_t>;
using Hash32 = std::array<uint8_t, 32>;

inline Bytes to_bytes(std::string_view s) { return Bytes(s.begin(), s.end()); }

// --- hashing ------------------------------------------------------------------------------

inline Hash32 sha256(std::initializer_list<std::pair<const uint8_t*, std::size_t>> parts) {
  std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
  EVP_DigestInit_ex(ctx.get(), EVP_sha256(), nullptr);
  for (const auto& [p, n] : parts) EVP_DigestUpdate(ctx.get(), p, n);
  Hash32 out;
  unsigned len = 0;
  EVP_DigestFinal_ex(ctx.get(), out.data(), &len);
  return out;
}

template <class A>
std::pair<const uint8_t*, std::size_t> part(const A& a) {
  return {reinterpret_cast<const uint8_t*>(a.data()), a.size()};
}

inline Bytes hmac_sha256(const Bytes& key, const Bytes& data) {
  Bytes out(32);
  std::size_t len = 0;
  if (EVP_Q_mac(nullptr, "HMAC", nullptr, "SHA256", nullptr, key.data(), key.size(), data.data(), data.size(),
                out.data(), out.size(), &len) == nullptr)
    throw std::runtime_error("HMAC failed");
  return out;
}

inline Bytes sha3_512_with_context(std::string_view context, const Bytes& message) {
  Bytes input;
  for (int s = 56; s >= 0; s -= 8) input.push_back(static_cast<uint8_t>(uint64_t{context.size()} >> s));
  input.insert(input.end(), context.begin(), context.end());
  input.insert(input.end(), message.begin(), message.end());
  Bytes out(64);
  unsigned len = 0;
  EVP_Digest(input.data(), input.size(), out.data(), &len, EVP_sha3_512(), nullptr);
  return out;
}

// --- the writer ---------------------------------------------------------------------------

struct Writer {
  Bytes out;
  Writer& u8(uint64_t v) { return be(v, 1); }
  Writer& u16(uint64_t v) { return be(v, 2); }
  Writer& u32(uint64_t v) { return be(v, 4); }
  Writer& u64(uint64_t v) { return be(v, 8); }
  Writer& be(uint64_t v, int width) {
    for (int i = width - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return *this;
  }
  template <class A>
  Writer& raw(const A& a) {
    out.insert(out.end(), a.begin(), a.end());
    return *this;
  }
  template <class A>
  Writer& vec(int width, const A& a) {
    be(a.size(), width);
    return raw(a);
  }
  Writer& hashes(const std::vector<Hash32>& hs) {
    u16(hs.size() * 32);
    for (const auto& h : hs) raw(h);
    return *this;
  }
};

// --- suites -------------------------------------------------------------------------------

struct Suite {
  uint16_t id;
  std::string_view name;
  std::size_t commitment_len;
  std::size_t opening_len;
  const quorvantile_log::vrf::Vrf* vrf;
};

inline const quorvantile_log::vrf::Vrf& ed25519_vrf() {
  static const quorvantile_log::vrf::Ecvrf v;
  return v;
}
inline const quorvantile_log::vrf::Vrf& p256_vrf() {
  static const quorvantile_log::vrf::EcvrfP256 v;
  return v;
}

inline const std::vector<Suite>& suites() {
  static const std::vector<Suite> all = {
      {0xF000, "QuorvantileHybridExp", 64, 32, &ed25519_vrf()},
      {0x0001, "Kt128Sha256P256", 32, 16, &p256_vrf()},
      {0x0002, "Kt128Sha256Ed25519", 32, 16, &ed25519_vrf()},
  };
  return all;
}

// The commitment key of the on-spec suites (IETF key-transparency protocol, Kc).
inline const Bytes& commitment_key() {
  static const Bytes kc = {0xd8, 0x21, 0xf8, 0x79, 0x0d, 0x97, 0x70, 0x97,
                           0x96, 0xb4, 0xd7, 0x90, 0x33, 0x57, 0xc3, 0xf5};
  return kc;
}

// The suite commitment of (label, version, value) under the opening.
inline Bytes commit(const Suite& suite, std::string_view context, const Bytes& label, uint32_t version,
                    const Bytes& value, const Bytes& opening) {
  Writer w;
  if (suite.id != 0xF000) w.raw(opening);
  w.vec(1, label).u32(version).vec(4, value);
  if (suite.id != 0xF000) return hmac_sha256(commitment_key(), w.out);
  Bytes input = opening;
  input.insert(input.end(), w.out.begin(), w.out.end());
  return sha3_512_with_context(context, input);
}

// --- proof structures (owned, editable) ----------------------------------------------------

struct Step {
  uint32_t version = 0;
  Bytes vrf_proof;
  uint8_t result_type = 1;  // 1 inclusion, 2 nonInclusionLeaf, 3 nonInclusionParent
  Hash32 leaf_output{};     // result type 2
  Bytes leaf_commitment;    // result type 2
  uint8_t depth = 0;
  std::vector<Hash32> elements;
  std::optional<Bytes> commitment;
};

struct Head {
  uint64_t entry_index = 0;
  uint64_t tree_size = 0;
  uint64_t timestamp = 0;
  Hash32 prefix_root{};
  std::vector<Hash32> log_inclusion;
};

struct Revealed {
  Bytes value;
  Bytes opening;
};

struct SearchProof {
  Head head;
  std::optional<uint32_t> greatest;
  std::vector<Step> ladder;
  std::optional<Revealed> revealed;
};

struct MonitorProof {
  Head head;
  uint32_t version = 0;
  std::vector<Step> ladder;
};

struct FixedVersionProof {
  Head head;
  Step step;
  std::optional<Revealed> revealed;
};

inline Bytes encode_results(const Step& s) {
  Writer w;
  w.u8(s.result_type);
  if (s.result_type == 2) w.raw(s.leaf_output).raw(s.leaf_commitment);
  w.u8(s.depth);
  return w.out;
}

inline Bytes encode_prefix_proof(const Step& s, const Bytes& results) {
  Writer w;
  w.vec(1, results).hashes(s.elements);
  return w.out;
}

inline Bytes encode_step(const Step& s, const Bytes& prefix_proof) {
  Writer w;
  w.u32(s.version).vec(2, s.vrf_proof).vec(2, prefix_proof);
  if (s.commitment) {
    w.u8(1).raw(*s.commitment);
  } else {
    w.u8(0);
  }
  return w.out;
}

inline Bytes encode_step(const Step& s) { return encode_step(s, encode_prefix_proof(s, encode_results(s))); }

inline void write_head(Writer& w, const Head& h) {
  w.u64(h.entry_index).u64(h.tree_size).u64(h.timestamp).raw(h.prefix_root).hashes(h.log_inclusion);
}

inline void write_revealed(Writer& w, const std::optional<Revealed>& r) {
  if (!r) {
    w.u8(0);
    return;
  }
  w.u8(1).vec(4, r->value).vec(1, r->opening);
}

inline Bytes encode(const SearchProof& p) {
  Writer w;
  w.u8(1);
  write_head(w, p.head);
  if (p.greatest) {
    w.u8(1).u32(*p.greatest);
  } else {
    w.u8(0);
  }
  w.u16(p.ladder.size());
  for (const auto& s : p.ladder) w.raw(encode_step(s));
  write_revealed(w, p.revealed);
  return w.out;
}

inline Bytes encode(const MonitorProof& p) {
  Writer w;
  w.u8(3);
  write_head(w, p.head);
  w.u32(p.version).u16(p.ladder.size());
  for (const auto& s : p.ladder) w.raw(encode_step(s));
  return w.out;
}

inline Bytes encode(const FixedVersionProof& p) {
  Writer w;
  w.u8(2);
  write_head(w, p.head);
  w.raw(encode_step(p.step));
  write_revealed(w, p.revealed);
  return w.out;
}

// --- ladders (from the description: powers minus one, then bisection) ---------------------

inline std::vector<uint64_t> binary_ladder(uint64_t target) {
  std::vector<uint64_t> out;
  uint64_t v = 0;
  for (unsigned i = 0;; ++i) {
    v = (uint64_t{1} << i) - 1;
    out.push_back(v);
    if (v > target) break;
  }
  uint64_t low = out.size() >= 2 ? out[out.size() - 2] : 0, high = v;
  while (low + 1 < high) {
    const uint64_t mid = (low + high) / 2;
    out.push_back(mid);
    (mid > target ? high : low) = mid;
  }
  return out;
}

// --- the prefix tree ------------------------------------------------------------------------

inline bool bit(const Hash32& key, std::size_t i) { return ((key[i / 8] >> (7 - i % 8)) & 1) != 0; }

inline Hash32 prefix_leaf_hash(const Hash32& key, const Bytes& commitment) {
  const uint8_t tag = 0x01;
  return sha256({{&tag, 1}, part(key), part(commitment)});
}

inline Hash32 prefix_parent_hash(const Hash32& l, const Hash32& r) {
  const uint8_t tag = 0x02;
  return sha256({{&tag, 1}, part(l), part(r)});
}

// A binary trie: a subtree with one key is a leaf; with two or more it is a parent split on the
// next bit (one side may be empty, valued 32 zero bytes); an empty tree is 32 zero bytes.
class PrefixTree {
 public:
  void insert(const Hash32& key, Bytes commitment) { entries_[key] = std::move(commitment); }

  void build() {
    nodes_.clear();
    std::vector<const Entry*> all;
    for (const auto& e : entries_) all.push_back(&e);
    root_ = build(all, 0);
  }

  Hash32 root() const { return root_ < 0 ? Hash32{} : nodes_[root_].value; }

  // The prefix part of a step for `key`: result type, leaf, depth, copath.
  void search(const Hash32& key, Step& step) const {
    step.elements.clear();
    int node = root_;
    std::size_t depth = 0;
    while (node >= 0 && nodes_[node].entry == nullptr) {
      const bool b = bit(key, depth);
      const int sibling = b ? nodes_[node].left : nodes_[node].right;
      step.elements.push_back(sibling < 0 ? Hash32{} : nodes_[sibling].value);
      node = b ? nodes_[node].right : nodes_[node].left;
      ++depth;
    }
    if (node < 0) {
      step.result_type = 3;
      step.depth = static_cast<uint8_t>(depth == 0 ? 0 : depth - 1);
    } else if (nodes_[node].entry->first == key) {
      step.result_type = 1;
      step.depth = static_cast<uint8_t>(depth);
    } else {
      step.result_type = 2;
      step.leaf_output = nodes_[node].entry->first;
      step.leaf_commitment = nodes_[node].entry->second;
      step.depth = static_cast<uint8_t>(depth);
    }
  }

 private:
  using Entry = std::pair<const Hash32, Bytes>;
  struct Node {
    Hash32 value;
    const Entry* entry = nullptr;
    int left = -1, right = -1;
  };

  int build(const std::vector<const Entry*>& keys, std::size_t depth) {
    if (keys.empty()) return -1;
    Node n;
    if (keys.size() == 1) {
      n.entry = keys[0];
      n.value = prefix_leaf_hash(keys[0]->first, keys[0]->second);
    } else {
      std::vector<const Entry*> zero, one;
      for (const Entry* e : keys) (bit(e->first, depth) ? one : zero).push_back(e);
      n.left = build(zero, depth + 1);
      n.right = build(one, depth + 1);
      n.value = prefix_parent_hash(n.left < 0 ? Hash32{} : nodes_[n.left].value,
                                   n.right < 0 ? Hash32{} : nodes_[n.right].value);
    }
    nodes_.push_back(n);
    return static_cast<int>(nodes_.size() - 1);
  }

  std::map<Hash32, Bytes> entries_;
  std::vector<Node> nodes_;
  int root_ = -1;
};

// --- the log tree ---------------------------------------------------------------------------

struct LogValue {
  bool parent;
  Hash32 value;
};

inline LogValue log_parent(const LogValue& l, const LogValue& r) {
  const uint8_t kl = l.parent ? 1 : 0, kr = r.parent ? 1 : 0;
  return {true, sha256({{&kl, 1}, part(l.value), {&kr, 1}, part(r.value)})};
}

inline uint64_t largest_power_below(uint64_t n) {
  uint64_t k = 1;
  while (k * 2 < n) k *= 2;
  return k;
}

class LogTree {
 public:
  void append(uint64_t timestamp, const Hash32& prefix_root) {
    Writer w;
    w.u64(timestamp).raw(prefix_root);
    leaves_.push_back(sha256({part(w.out)}));
    timestamps_.push_back(timestamp);
    prefix_roots_.push_back(prefix_root);
  }
  uint64_t size() const { return leaves_.size(); }
  Hash32 root() const { return node(0, size()).value; }

  // The head of a proof about entry i.
  Head head(uint64_t i) const {
    Head h{i, size(), timestamps_[i], prefix_roots_[i], {}};
    inclusion(0, size(), i, h.log_inclusion);
    return h;
  }

 private:
  LogValue node(uint64_t lo, uint64_t hi) const {
    if (hi - lo == 1) return {false, leaves_[lo]};
    const uint64_t k = largest_power_below(hi - lo);
    return log_parent(node(lo, lo + k), node(lo + k, hi));
  }
  // Ranges without the entry appear as their full subtrees, largest first, left to right.
  void inclusion(uint64_t lo, uint64_t hi, uint64_t i, std::vector<Hash32>& out) const {
    if (i < lo || i >= hi) {
      uint64_t start = lo;
      while (start < hi) {
        uint64_t p = 1;
        while (p * 2 <= hi - start) p *= 2;
        out.push_back(node(start, start + p).value);
        start += p;
      }
      return;
    }
    if (hi - lo == 1) return;
    const uint64_t k = largest_power_below(hi - lo);
    inclusion(lo, lo + k, i, out);
    inclusion(lo + k, hi, i, out);
  }

  std::vector<Hash32> leaves_;
  std::vector<uint64_t> timestamps_;
  std::vector<Hash32> prefix_roots_;
};

// --- the directory --------------------------------------------------------------------------

class Directory {
 public:
  Directory(const Suite& suite, std::string context) : suite_(suite), context_(std::move(context)) {
    secret_.resize(32);
    for (std::size_t i = 0; i < 32; ++i) secret_[i] = static_cast<uint8_t>(i + 1);
    auto pk = suite_.vrf->derive_public_key(secret_);
    if (!pk) throw std::runtime_error("vrf key");
    public_key_ = *pk;
  }

  const Suite& suite() const { return suite_; }
  const Bytes& vrf_public() const { return public_key_; }
  const std::string& context() const { return context_; }

  static Bytes value_of(const Bytes& label, uint32_t version) {
    Bytes v = label;
    Writer w;
    w.u32(version);
    v.insert(v.end(), w.out.begin(), w.out.end());
    return v;
  }
  Bytes opening_of(const Bytes& label, uint32_t version) const {
    Writer w;
    w.raw(to_bytes("opening")).vec(1, label).u32(version);
    const Hash32 h = sha256({part(w.out)});
    return Bytes(h.begin(), h.begin() + static_cast<long>(suite_.opening_len));
  }
  Bytes commitment_of(const Bytes& label, uint32_t version) const {
    return commit(suite_, context_, label, version, value_of(label, version), opening_of(label, version));
  }

  // Adds the listed versions of the label (each with its derived value and opening).
  void add_versions(const Bytes& label, const std::vector<uint32_t>& versions) {
    for (uint32_t v : versions) {
      tree_.insert(vrf(label, v).second, commitment_of(label, v));
      auto& g = greatest_[key_of(label)];
      g = std::max(g, int64_t{v});
    }
  }
  void add_label(const Bytes& label, uint32_t version_count) {
    std::vector<uint32_t> vs;
    for (uint32_t v = 0; v < version_count; ++v) vs.push_back(v);
    add_versions(label, vs);
  }

  // Builds the prefix tree and a log of `log_size` entries whose entry `proved` holds it (the
  // others hold unrelated roots).
  void publish(uint64_t log_size, uint64_t proved) {
    std::vector<Hash32> roots;
    for (uint64_t i = 0; i < log_size; ++i) {
      Hash32 other{};
      other[0] = static_cast<uint8_t>(i);
      other[1] = static_cast<uint8_t>(i >> 8);
      roots.push_back(sha256({part(other)}));
    }
    publish_history(roots, proved);
  }

  // Builds the prefix tree and a log whose entries hold `prefix_roots`, except entry `proved`,
  // which holds this directory's tree. Directories under the same suite share the VRF key, so the
  // roots of other directories make a history of one directory's states.
  void publish_history(std::vector<Hash32> prefix_roots, uint64_t proved) {
    tree_.build();
    prefix_roots.at(proved) = tree_.root();
    log_ = LogTree();
    for (uint64_t i = 0; i < prefix_roots.size(); ++i) log_.append(1700000000000 + i, prefix_roots[i]);
    proved_ = proved;
  }

  Hash32 root() const { return log_.root(); }
  Hash32 prefix_root() const { return tree_.root(); }
  Head head() const { return log_.head(proved_); }

  Step step(const Bytes& label, uint32_t version) {
    Step s;
    s.version = version;
    const auto& [proof, key] = vrf(label, version);
    s.vrf_proof = proof;
    tree_.search(key, s);
    if (s.result_type == 1) s.commitment = commitment_of(label, version);
    return s;
  }

  std::optional<uint32_t> greatest(const Bytes& label) const {
    auto it = greatest_.find(key_of(label));
    if (it == greatest_.end()) return std::nullopt;
    return static_cast<uint32_t>(it->second);
  }

  Revealed revealed(const Bytes& label, uint32_t version) const {
    return {value_of(label, version), opening_of(label, version)};
  }

  SearchProof search(const Bytes& label) {
    SearchProof p;
    p.head = head();
    p.greatest = greatest(label);
    const std::vector<uint64_t> versions = p.greatest ? binary_ladder(*p.greatest) : std::vector<uint64_t>{0};
    for (uint64_t v : versions) p.ladder.push_back(step(label, static_cast<uint32_t>(v)));
    if (p.greatest) p.revealed = revealed(label, *p.greatest);
    return p;
  }

  MonitorProof monitor(const Bytes& label, uint32_t version) {
    MonitorProof p;
    p.head = head();
    p.version = version;
    for (uint64_t v : binary_ladder(version))
      if (v <= version) p.ladder.push_back(step(label, static_cast<uint32_t>(v)));
    return p;
  }

  FixedVersionProof fixed_version(const Bytes& label, uint32_t version) {
    FixedVersionProof p;
    p.head = head();
    p.step = step(label, version);
    if (p.step.result_type == 1) p.revealed = revealed(label, version);
    return p;
  }

  // The VRF proof and search key of (label, version), proved once.
  const std::pair<Bytes, Hash32>& vrf(const Bytes& label, uint32_t version) {
    auto key = std::make_pair(key_of(label), version);
    auto it = vrf_cache_.find(key);
    if (it != vrf_cache_.end()) return it->second;
    Writer alpha;
    alpha.vec(1, label).u32(version);
    auto proof = suite_.vrf->prove(secret_, alpha.out);
    if (!proof) throw std::runtime_error("vrf prove");
    auto output = suite_.vrf->proof_to_output(*proof);
    if (!output) throw std::runtime_error("vrf output");
    Hash32 k;
    std::memcpy(k.data(), output->data(), 32);
    return vrf_cache_.emplace(key, std::make_pair(*proof, k)).first->second;
  }

 private:
  Suite suite_;
  std::string context_;
  Bytes secret_;
  Bytes public_key_;
  PrefixTree tree_;
  LogTree log_;
  uint64_t proved_ = 0;
  // Maps keyed by text (a map keyed by byte vectors trips a false overread warning in g++ 12).
  static std::string key_of(const Bytes& b) { return std::string(b.begin(), b.end()); }
  std::map<std::string, int64_t> greatest_;
  std::map<std::pair<std::string, uint32_t>, std::pair<Bytes, Hash32>> vrf_cache_;
};

}  // namespace qv_kt
