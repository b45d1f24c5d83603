// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// What the export targets check results against: independent reference computations (RFC 6962
// tree hashing, the context-bound SHA3-512, base64) written here from their definitions, the
// decoders of the returned records, and well-formed calls of the exports that a target uses to
// cross-check another (a verified checkpoint must also parse, a policy that is enforced must
// also verify).
#include <openssl/evp.h>

#include <initializer_list>

#include "abi_fuzz_support.hpp"

namespace qv_fuzz {

// --- hashes ------------------------------------------------------------------------------------

inline ByteString digest(const EVP_MD* md, std::initializer_list<std::span<const uint8_t>> parts) {
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  ByteString out(static_cast<std::size_t>(EVP_MD_get_size(md)));
  if (ctx == nullptr || EVP_DigestInit_ex(ctx, md, nullptr) != 1) fail("digest init");
  for (auto p : parts)
    if (!p.empty() && EVP_DigestUpdate(ctx, p.data(), p.size()) != 1) fail("digest update");
  if (EVP_DigestFinal_ex(ctx, out.data(), nullptr) != 1) fail("digest final");
  EVP_MD_CTX_free(ctx);
  return out;
}

// SHA3-512 over the context's length (u64 big-endian), the context and the message.
inline ByteString sha3_512_with_context(std::string_view context, std::initializer_list<std::span<const uint8_t>> message) {
  ByteString head;
  put_be(head, context.size(), 8);
  head.insert(head.end(), context.begin(), context.end());
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  ByteString out(64);
  if (ctx == nullptr || EVP_DigestInit_ex(ctx, EVP_sha3_512(), nullptr) != 1) fail("digest init");
  EVP_DigestUpdate(ctx, head.data(), head.size());
  for (auto p : message)
    if (!p.empty()) EVP_DigestUpdate(ctx, p.data(), p.size());
  EVP_DigestFinal_ex(ctx, out.data(), nullptr);
  EVP_MD_CTX_free(ctx);
  return out;
}

inline ByteString node_hash(const ByteString& left, const ByteString& right) {
  static constexpr uint8_t kNode[1] = {0x01};
  return digest(EVP_sha256(), {kNode, left, right});
}

// --- RFC 6962 proofs, by the published verification algorithms -------------------------------

inline bool all_hashes(const std::vector<ByteString>& proof) {
  return std::all_of(proof.begin(), proof.end(), [](const ByteString& h) { return h.size() == 32; });
}

inline bool reference_inclusion(uint64_t index, uint64_t size, const ByteString& leaf, const std::vector<ByteString>& proof,
                                const ByteString& root) {
  if (index >= size || leaf.size() != 32 || root.size() != 32 || !all_hashes(proof)) return false;
  uint64_t fn = index, sn = size - 1;
  ByteString r = leaf;
  for (const ByteString& p : proof) {
    if (sn == 0) return false;
    if ((fn & 1) || fn == sn) {
      r = node_hash(p, r);
      if (!(fn & 1))
        while (fn != 0 && !(fn & 1)) {
          fn >>= 1;
          sn >>= 1;
        }
    } else {
      r = node_hash(r, p);
    }
    fn >>= 1;
    sn >>= 1;
  }
  return sn == 0 && r == root;
}

inline bool reference_consistency(uint64_t size1, uint64_t size2, const std::vector<ByteString>& proof, const ByteString& root1,
                                  const ByteString& root2) {
  if (root1.size() != 32 || root2.size() != 32 || !all_hashes(proof) || size1 > size2) return false;
  if (size1 == 0) return false;  // an empty tree has no root to be consistent with
  if (size1 == size2) return proof.empty() && root1 == root2;
  if (proof.empty()) return false;
  std::vector<ByteString> path = proof;
  if ((size1 & (size1 - 1)) == 0) path.insert(path.begin(), root1);
  uint64_t fn = size1 - 1, sn = size2 - 1;
  while (fn & 1) {
    fn >>= 1;
    sn >>= 1;
  }
  ByteString fr = path[0], sr = path[0];
  for (std::size_t i = 1; i < path.size(); ++i) {
    const ByteString& c = path[i];
    if (sn == 0) return false;
    if ((fn & 1) || fn == sn) {
      fr = node_hash(c, fr);
      sr = node_hash(c, sr);
      if (!(fn & 1))
        while (fn != 0 && !(fn & 1)) {
          fn >>= 1;
          sn >>= 1;
        }
    } else {
      sr = node_hash(sr, c);
    }
    fn >>= 1;
    sn >>= 1;
  }
  return sn == 0 && fr == root1 && sr == root2;
}

// --- key-history entries ---------------------------------------------------------------------

inline constexpr std::string_view kKeyHistoryLabel = "tarnfel/key-history/v1";

// Format version 1, seq, ts_ms, then each byte field behind its u32 length; a missing or empty
// previous hash is written as length 0.
inline ByteString reference_canonical(const Call& call, std::size_t first) {
  ByteString out;
  put_be(out, 1, 4);
  put_be(out, call.integer(first), 8);
  put_be(out, call.integer(first + 1), 8);
  for (std::size_t i = first + 2; i < first + 5; ++i) {
    put_be(out, call.bytes(i).size(), 4);
    out.insert(out.end(), call.bytes(i).begin(), call.bytes(i).end());
  }
  const Value& prev = call.value(first + 5);
  put_be(out, prev.present ? prev.bytes.size() : 0, 4);
  if (prev.present) out.insert(out.end(), prev.bytes.begin(), prev.bytes.end());
  return out;
}

// The returned sequence<u8> of a key-history call.
inline ByteString read_bytes_result(RustBuffer b) {
  Result r(b);
  ByteString out = r.bytes();
  r.done();
  return out;
}

// --- text --------------------------------------------------------------------------------------

inline std::string base64(std::span<const uint8_t> b) {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t i = 0; i < b.size(); i += 3) {
    const uint32_t v = uint32_t{b[i]} << 16 | (i + 1 < b.size() ? uint32_t{b[i + 1]} << 8 : 0) |
                       (i + 2 < b.size() ? b[i + 2] : 0);
    out += kAlphabet[v >> 18];
    out += kAlphabet[v >> 12 & 63];
    out += i + 1 < b.size() ? kAlphabet[v >> 6 & 63] : '=';
    out += i + 2 < b.size() ? kAlphabet[v & 63] : '=';
  }
  return out;
}

// The note's text up to and including the line feed before its blank line.
inline std::string note_body(std::string_view note) {
  const auto blank = note.find("\n\n");
  return std::string(note.substr(0, blank == std::string_view::npos ? note.size() : blank + 1));
}

inline std::size_t signature_lines(std::string_view note) {
  std::size_t n = 0;
  for (std::size_t at = note.find("\n\xE2\x80\x94 "); at != std::string_view::npos; at = note.find("\n\xE2\x80\x94 ", at + 1))
    ++n;
  return n;
}

// --- encoded arguments for cross-check calls ---------------------------------------------------

inline RustBuffer seq(std::span<const uint8_t> b) {
  ByteString raw;
  put_be(raw, b.size(), 4);
  raw.insert(raw.end(), b.begin(), b.end());
  return library_buffer(raw);
}

inline RustBuffer seq_list(const std::vector<ByteString>& items) {
  ByteString raw;
  put_be(raw, items.size(), 4);
  for (const ByteString& e : items) {
    put_be(raw, e.size(), 4);
    raw.insert(raw.end(), e.begin(), e.end());
  }
  return library_buffer(raw);
}

inline RustBuffer text_buffer(std::string_view s) { return library_buffer(text_bytes(s)); }

// Releases the status of a cross-check call and tells whether it succeeded.
inline bool succeeded(RustCallStatus& s) {
  if (s.code == 2) fail("status 2 on a cross-check call");
  if (s.code != 0) free_buffer(s.error_buf);
  return s.code == 0;
}

// --- returned records --------------------------------------------------------------------------

struct Head {
  std::string origin;
  uint64_t size = 0;
  ByteString root;
  std::vector<std::string> extensions;
  bool operator==(const Head&) const = default;
};

// `text` is the body or note the head was read from.
inline Head read_head(RustBuffer b, std::string_view text) {
  const bool from_utf8 = check_utf8(text_bytes(text)).valid;
  Result r(b);
  Head h;
  h.origin = r.string(from_utf8);
  h.size = r.be(8);
  h.root = r.bytes();
  const int32_t n = r.i32();
  if (n < 0) fail("negative extension count");
  for (int32_t i = 0; i < n; ++i) h.extensions.push_back(r.string(from_utf8));
  r.done();
  if (h.origin.empty() || h.root.size() != 32) fail("checkpoint head without origin or 32-byte root");
  return h;
}

struct Posture {
  std::string ns;
  uint32_t schema = 0;
  int32_t security = 0, checkpoint_suite = 0, commitment_hash = 0, vrf_mode = 0, directory_mode = 0,
          keytrans_suite = 0;
  uint64_t effective_from = 0, created_at = 0;
  ByteString policy_hash, leaf_hash;
};

inline Posture read_posture(RustBuffer b) {
  Result r(b);
  Posture p;
  p.ns = r.string();
  p.schema = static_cast<uint32_t>(r.be(4));
  p.security = r.variant(2);
  p.checkpoint_suite = r.variant(3);
  p.commitment_hash = r.variant(2);
  p.vrf_mode = r.variant(3);
  p.directory_mode = r.variant(2);
  p.keytrans_suite = r.variant(3);
  p.effective_from = r.be(8);
  p.created_at = r.be(8);
  p.policy_hash = r.bytes();
  p.leaf_hash = r.bytes();
  r.done();
  if (p.policy_hash.size() != 64 || p.leaf_hash.size() != 32) fail("posture hashes of the wrong length");
  if (p.ns.empty()) fail("posture without namespace");
  return p;
}

struct Search {
  bool present = false;
  std::optional<ByteString> value;
  bool operator==(const Search&) const = default;
};

inline Search read_search(RustBuffer b) {
  Result r(b);
  Search s;
  const uint64_t present = r.be(1);
  if (present > 1) fail("SearchResult.present is not a bool");
  s.present = present == 1;
  s.value = r.optional_bytes();
  r.done();
  if (!s.present && s.value) fail("an absent label came with a value");
  return s;
}

// --- cross-check calls -------------------------------------------------------------------------

inline std::optional<Head> parse_checkpoint(std::string_view body) {
  RustCallStatus s{};
  RustBuffer out = uniffi_quorvantile_log_fn_func_checkpoint_parse(text_buffer(body), &s);
  if (!succeeded(s)) return std::nullopt;
  return read_head(out, body);
}

inline std::optional<Head> verify_checkpoint(std::string_view note, const std::vector<ByteString>& vkeys) {
  RustCallStatus s{};
  RustBuffer out = uniffi_quorvantile_log_fn_func_checkpoint_verify(text_buffer(note), seq_list(vkeys), &s);
  if (!succeeded(s)) return std::nullopt;
  return read_head(out, note);
}

inline std::optional<Posture> verify_policy(std::span<const uint8_t> envelope) {
  RustCallStatus s{};
  RustBuffer out = uniffi_quorvantile_log_fn_func_signed_policy_verify(seq(envelope), &s);
  if (!succeeded(s)) return std::nullopt;
  return read_posture(out);
}

// A policy enforcement: when it succeeds the envelope verifies on its own; when it fails on an
// envelope that verifies, the failure is a posture mismatch.
inline std::optional<Posture> check_enforcement(const Outcome& o, std::span<const uint8_t> envelope, bool well_formed) {
  if (!well_formed) return std::nullopt;
  std::optional<Posture> posture = verify_policy(envelope);
  if (o.code == 0 && !posture) fail("enforcement passed on an envelope that does not verify");
  if (o.code == 1 && posture && o.message.rfind("posture mismatch: declared ", 0) != 0)
    fail("a verified envelope failed enforcement with:", o.message);
  return posture;
}

}  // namespace qv_fuzz
