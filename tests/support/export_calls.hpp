// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Every verification export of the C interface behind one calling convention, for tests and
// benchmarks that sweep all of them: an argument list is a vector of typed values (integers, or
// the exact bytes a RustBuffer argument carries), and a call's outcome is its status code, its
// scalar or buffer result and its error buffer, all as plain bytes so outcomes compare exactly.
//
// A call has three phases so a caller can observe the export alone: `lower` builds the argument
// buffers (through the library's own buffer functions), `Export::invoke` makes the one call, and
// `finish` copies what came back and releases it.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "quorvantile_log.h"

namespace qv_calls {

using Bytes = std::vector<uint8_t>;

// The wire form of one argument: an integer passed by value, or the bytes of a RustBuffer.
struct Arg {
  bool is_buffer = false;
  uint64_t scalar = 0;
  Bytes bytes;
};

inline std::size_t arg_bytes(const std::vector<Arg>& args) {
  std::size_t n = 0;
  for (const auto& a : args) n += a.is_buffer ? a.bytes.size() : sizeof(uint64_t);
  return n;
}

// --- encoders of the boundary's value forms ------------------------------------------------

inline void put_be(Bytes& out, uint64_t v, int width) {
  for (int i = width - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
inline void put_seq(Bytes& out, const Bytes& b) {
  put_be(out, b.size(), 4);
  out.insert(out.end(), b.begin(), b.end());
}

inline Arg scalar(uint64_t v) { return Arg{false, v, {}}; }
inline Arg raw(Bytes b) { return Arg{true, 0, std::move(b)}; }
inline Arg text(std::string_view s) { return raw(Bytes(s.begin(), s.end())); }
// sequence<u8>
inline Arg seq(const Bytes& b) {
  Bytes out;
  put_seq(out, b);
  return raw(std::move(out));
}
// sequence<sequence<u8>>
inline Arg seq_list(const std::vector<Bytes>& list) {
  Bytes out;
  put_be(out, list.size(), 4);
  for (const auto& b : list) put_seq(out, b);
  return raw(std::move(out));
}
// sequence<string>
inline Arg string_list(const std::vector<std::string>& list) {
  Bytes out;
  put_be(out, list.size(), 4);
  for (const auto& s : list) put_seq(out, Bytes(s.begin(), s.end()));
  return raw(std::move(out));
}
// optional<sequence<u8>>
inline Arg opt_seq(const Bytes* b) {
  Bytes out{static_cast<uint8_t>(b != nullptr)};
  if (b != nullptr) put_seq(out, *b);
  return raw(std::move(out));
}
// An enumeration: its variant number as a big-endian i32.
inline Arg variant(int32_t v) {
  Bytes out;
  put_be(out, static_cast<uint32_t>(v), 4);
  return raw(std::move(out));
}

// --- calls ---------------------------------------------------------------------------------

// What one call handed back, before it is copied out.
struct Raw {
  RustCallStatus status{};
  RustBuffer result{0, 0, nullptr};
  uint64_t scalar = 0;
};

struct Outcome {
  int8_t code = 0;
  uint64_t scalar = 0;
  Bytes result;
  Bytes error;
  bool operator==(const Outcome&) const = default;
};

using Invoke = void (*)(const std::vector<Arg>& args, const std::vector<RustBuffer>& bufs, Raw& raw);

struct Export {
  const char* name;
  // One word per argument: u64 u16 u8 (integers), text, seq, seqlist, strlist, optseq, enum.
  const char* signature;
  Invoke invoke;
};

inline std::vector<RustBuffer> lower(const std::vector<Arg>& args) {
  std::vector<RustBuffer> bufs(args.size(), RustBuffer{0, 0, nullptr});
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (!args[i].is_buffer) continue;
    RustCallStatus status{};
    bufs[i] = ffi_quorvantile_log_rustbuffer_from_bytes(
        ForeignBytes{static_cast<int32_t>(args[i].bytes.size()), args[i].bytes.data()}, &status);
    if (status.code != 0) throw std::runtime_error("rustbuffer_from_bytes failed");
  }
  return bufs;
}

inline Bytes take(RustBuffer& buf) {
  Bytes out(buf.data, buf.data + buf.len);
  RustCallStatus status{};
  ffi_quorvantile_log_rustbuffer_free(buf, &status);
  buf = RustBuffer{0, 0, nullptr};
  return out;
}

inline Outcome finish(Raw& raw) {
  Outcome out;
  out.code = raw.status.code;
  out.scalar = raw.scalar;
  out.result = take(raw.result);
  out.error = take(raw.status.error_buf);
  return out;
}

#define QV_B(i) bufs[i]
#define QV_N(T, i) static_cast<T>(args[i].scalar)
#define QV_ROW(name, sig, expr) \
  Export{#name, sig, [](const std::vector<Arg>& args, const std::vector<RustBuffer>& bufs, Raw& raw) { \
           (void)args;                                                                                   \
           (void)bufs;                                                                                   \
           expr;                                                                                         \
         }}
#define QV_FN(name) uniffi_quorvantile_log_fn_func_##name

inline const std::vector<Export>& exports() {
  static const std::vector<Export> table = {
      QV_ROW(verify_inclusion, "u64 u64 seq seqlist seq",
             QV_FN(verify_inclusion)(QV_N(uint64_t, 0), QV_N(uint64_t, 1), QV_B(2), QV_B(3), QV_B(4), &raw.status)),
      QV_ROW(verify_consistency, "u64 u64 seqlist seq seq",
             QV_FN(verify_consistency)(QV_N(uint64_t, 0), QV_N(uint64_t, 1), QV_B(2), QV_B(3), QV_B(4), &raw.status)),
      QV_ROW(verify_signed_note, "text strlist",
             raw.scalar = QV_FN(verify_signed_note)(QV_B(0), QV_B(1), &raw.status)),
      QV_ROW(checkpoint_parse, "text", raw.result = QV_FN(checkpoint_parse)(QV_B(0), &raw.status)),
      QV_ROW(checkpoint_verify, "text strlist", raw.result = QV_FN(checkpoint_verify)(QV_B(0), QV_B(1), &raw.status)),
      QV_ROW(checkpoint_verify_inclusion, "text strlist u64 seq seqlist",
             QV_FN(checkpoint_verify_inclusion)(QV_B(0), QV_B(1), QV_N(uint64_t, 2), QV_B(3), QV_B(4), &raw.status)),
      QV_ROW(checkpoint_verify_consistency, "text text strlist seqlist",
             QV_FN(checkpoint_verify_consistency)(QV_B(0), QV_B(1), QV_B(2), QV_B(3), &raw.status)),
      QV_ROW(verify_commitment, "text seq seq seq",
             QV_FN(verify_commitment)(QV_B(0), QV_B(1), QV_B(2), QV_B(3), &raw.status)),
      QV_ROW(coniks_verify_lookup, "text seq seq seq seq",
             raw.result = QV_FN(coniks_verify_lookup)(QV_B(0), QV_B(1), QV_B(2), QV_B(3), QV_B(4), &raw.status)),
      QV_ROW(coniks_verify_absence, "text seq seq seq seq",
             QV_FN(coniks_verify_absence)(QV_B(0), QV_B(1), QV_B(2), QV_B(3), QV_B(4), &raw.status)),
      QV_ROW(key_history_v1_canonical_bytes, "u64 u64 seq seq seq optseq",
             raw.result = QV_FN(key_history_v1_canonical_bytes)(QV_N(uint64_t, 0), QV_N(uint64_t, 1), QV_B(2), QV_B(3),
                                                                QV_B(4), QV_B(5), &raw.status)),
      QV_ROW(key_history_v1_entry_hash, "u64 u64 seq seq seq optseq",
             raw.result = QV_FN(key_history_v1_entry_hash)(QV_N(uint64_t, 0), QV_N(uint64_t, 1), QV_B(2), QV_B(3),
                                                           QV_B(4), QV_B(5), &raw.status)),
      QV_ROW(key_history_v1_rfc6962_leaf_hash, "u64 u64 seq seq seq optseq",
             raw.result = QV_FN(key_history_v1_rfc6962_leaf_hash)(QV_N(uint64_t, 0), QV_N(uint64_t, 1), QV_B(2),
                                                                  QV_B(3), QV_B(4), QV_B(5), &raw.status)),
      QV_ROW(key_history_entry_hash_with_context, "text u64 u64 seq seq seq optseq",
             raw.result = QV_FN(key_history_entry_hash_with_context)(QV_B(0), QV_N(uint64_t, 1), QV_N(uint64_t, 2),
                                                                     QV_B(3), QV_B(4), QV_B(5), QV_B(6), &raw.status)),
      QV_ROW(keytrans_verify_search, "text seq seq seq seq",
             raw.result = QV_FN(keytrans_verify_search)(QV_B(0), QV_B(1), QV_B(2), QV_B(3), QV_B(4), &raw.status)),
      QV_ROW(keytrans_verify_search_suite, "u16 text seq seq seq seq",
             raw.result = QV_FN(keytrans_verify_search_suite)(QV_N(uint16_t, 0), QV_B(1), QV_B(2), QV_B(3), QV_B(4),
                                                              QV_B(5), &raw.status)),
      QV_ROW(keytrans_verify_monitor, "text seq seq seq seq",
             QV_FN(keytrans_verify_monitor)(QV_B(0), QV_B(1), QV_B(2), QV_B(3), QV_B(4), &raw.status)),
      QV_ROW(keytrans_verify_monitor_suite, "u16 text seq seq seq seq",
             QV_FN(keytrans_verify_monitor_suite)(QV_N(uint16_t, 0), QV_B(1), QV_B(2), QV_B(3), QV_B(4), QV_B(5),
                                                  &raw.status)),
      QV_ROW(keytrans_verify_fixed_version, "text seq seq seq seq",
             raw.result = QV_FN(keytrans_verify_fixed_version)(QV_B(0), QV_B(1), QV_B(2), QV_B(3), QV_B(4),
                                                               &raw.status)),
      QV_ROW(keytrans_verify_fixed_version_suite, "u16 text seq seq seq seq",
             raw.result = QV_FN(keytrans_verify_fixed_version_suite)(QV_N(uint16_t, 0), QV_B(1), QV_B(2), QV_B(3),
                                                                     QV_B(4), QV_B(5), &raw.status)),
      QV_ROW(signed_policy_verify, "seq", raw.result = QV_FN(signed_policy_verify)(QV_B(0), &raw.status)),
      QV_ROW(policy_enforce_checkpoint_signature, "seq text",
             QV_FN(policy_enforce_checkpoint_signature)(QV_B(0), QV_B(1), &raw.status)),
      QV_ROW(policy_enforce_checkpoint_signing_key, "seq text",
             QV_FN(policy_enforce_checkpoint_signing_key)(QV_B(0), QV_B(1), &raw.status)),
      QV_ROW(policy_enforce_commitment_hash, "seq enum",
             QV_FN(policy_enforce_commitment_hash)(QV_B(0), QV_B(1), &raw.status)),
      QV_ROW(policy_enforce_directory_backend, "seq u16",
             QV_FN(policy_enforce_directory_backend)(QV_B(0), QV_N(uint16_t, 1), &raw.status)),
      QV_ROW(policy_enforce_vrf_suite_id, "seq u8",
             QV_FN(policy_enforce_vrf_suite_id)(QV_B(0), QV_N(uint8_t, 1), &raw.status)),
  };
  return table;
}

#undef QV_FN
#undef QV_ROW
#undef QV_N
#undef QV_B

inline const Export& by_name(std::string_view name) {
  for (const auto& e : exports()) {
    if (name == e.name) return e;
  }
  throw std::runtime_error("no export " + std::string(name));
}

inline Outcome call(const Export& e, const std::vector<Arg>& args) {
  const std::vector<RustBuffer> bufs = lower(args);
  Raw raw;
  e.invoke(args, bufs, raw);
  return finish(raw);
}

inline std::vector<std::string> words(std::string_view s) {
  std::vector<std::string> out;
  std::size_t i = 0;
  while (i < s.size()) {
    const std::size_t j = s.find(' ', i);
    out.emplace_back(s.substr(i, j == std::string_view::npos ? s.npos : j - i));
    if (j == std::string_view::npos) break;
    i = j + 1;
  }
  return out;
}

inline Bytes hex(const std::string& h) {
  auto nibble = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    throw std::runtime_error("bad hex in call table");
  };
  if (h.size() % 2 != 0) throw std::runtime_error("odd hex in call table");
  Bytes out(h.size() / 2);
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = static_cast<uint8_t>(nibble(h[2 * i]) << 4 | nibble(h[2 * i + 1]));
  return out;
}

// One row of the shared call table (arguments in plain JSON form: bytes as hex, enumerations as
// variant numbers, optionals as null or the value) as wire arguments of `e`.
inline std::vector<Arg> from_plain(const Export& e, const nlohmann::json& plain) {
  const auto kinds = words(e.signature);
  if (plain.size() != kinds.size()) throw std::runtime_error(std::string("argument count of ") + e.name);
  std::vector<Arg> args;
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    const auto& k = kinds[i];
    const auto& j = plain[i];
    if (k == "u64" || k == "u16" || k == "u8") {
      args.push_back(scalar(j.get<uint64_t>()));
    } else if (k == "text") {
      args.push_back(text(j.get<std::string>()));
    } else if (k == "seq") {
      args.push_back(seq(hex(j.get<std::string>())));
    } else if (k == "seqlist") {
      std::vector<Bytes> list;
      for (const auto& item : j) list.push_back(hex(item.get<std::string>()));
      args.push_back(seq_list(list));
    } else if (k == "strlist") {
      args.push_back(string_list(j.get<std::vector<std::string>>()));
    } else if (k == "optseq") {
      const Bytes b = j.is_null() ? Bytes{} : hex(j.get<std::string>());
      args.push_back(opt_seq(j.is_null() ? nullptr : &b));
    } else if (k == "enum") {
      args.push_back(variant(j.get<int32_t>()));
    } else {
      throw std::runtime_error("unknown argument kind " + k);
    }
  }
  return args;
}

}  // namespace qv_calls
