// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Parsing of witness quorum policy files. The file is read line by line; the first line that
// breaks a rule decides the error, and whole-file rules (a quorum line must exist) come last.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "text/utf8.hpp"
#include "witness/policy.hpp"

namespace quorvantile_log::witness {
namespace {

constexpr std::string_view kNone = "none";

// Octets a policy may contain: TAB, LF, printable ASCII and every octet from 0x80 up.
bool allowed_octet(uint8_t b) { return b == 0x09 || b == 0x0A || (b >= 0x20 && b != 0x7F); }

// Whether the line holds a disallowed octet. Branch-free so that it vectorises: verifier keys
// make lines kilobytes long.
bool has_disallowed_octet(std::string_view line) {
  uint8_t found = 0;
  for (const char c : line) {
    const auto b = static_cast<uint8_t>(c);
    found |= static_cast<uint8_t>(static_cast<uint8_t>(b < 0x20) & static_cast<uint8_t>(b != 0x09)) |
             static_cast<uint8_t>(b == 0x7F);
  }
  return found != 0;
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// The blanks of a line, found left to right. Each kind of blank is searched with memchr (which is
// vectorised) and its position kept until the scan passes it, so the line is read at most once
// per kind however many fields it has.
class Blanks {
 public:
  explicit Blanks(std::string_view line) : line_(line), space_(find(' ', 0)), tab_(find('\t', 0)) {}

  // The end of the field starting at `pos`: the first blank at or after it, or the line's end.
  std::size_t field_end(std::size_t pos) {
    if (space_ < pos) space_ = find(' ', pos);
    if (tab_ < pos) tab_ = find('\t', pos);
    return std::min(space_, tab_);
  }

 private:
  std::size_t find(char blank, std::size_t pos) const {
    const void* found = std::memchr(line_.data() + pos, blank, line_.size() - pos);
    return found == nullptr ? line_.size() : static_cast<std::size_t>(static_cast<const char*>(found) - line_.data());
  }

  std::string_view line_;
  std::size_t space_;
  std::size_t tab_;
};

std::string type_hex(uint8_t type) {
  char hex[5];
  std::snprintf(hex, sizeof hex, "0x%02x", type);
  return hex;
}

// Splits a line into its fields: runs of anything but SP and TAB.
std::vector<std::string_view> split_fields(std::string_view line) {
  std::vector<std::string_view> fields;
  Blanks blanks(line);
  std::size_t pos = 0;
  while (pos < line.size()) {
    while (pos < line.size() && is_blank(line[pos])) ++pos;
    const std::size_t start = pos;
    pos = blanks.field_end(pos);
    if (pos > start) fields.push_back(line.substr(start, pos - start));
  }
  return fields;
}

// Whether the first field starts with '#', which makes the whole line a comment.
bool is_comment(std::string_view line) {
  const std::size_t first = line.find_first_not_of(" \t");
  return first != std::string_view::npos && line[first] == '#';
}

// Names come back to callers as text fields, so they must be UTF-8; URLs and comments stay opaque.
bool is_utf8(std::string_view name) { return utf8::check(quorvantile_crypto::as_bytes(name)).valid; }

// "all", "any" or a decimal number in canonical form (no sign, no leading zero).
std::optional<uint64_t> parse_threshold(std::string_view text, std::size_t members) {
  if (text == "all") return members;
  if (text == "any") return 1;
  if (text == "0") return 0;
  if (text.empty() || text[0] < '1' || text[0] > '9') return std::nullopt;
  uint64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

struct Definition {
  PolicyRef ref;
  uint64_t line = 0;
  bool used_as_member = false;
};

class Parser {
 public:
  WitnessResult<Policy> run(std::string_view text) {
    uint64_t number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();  // a missing final line feed is accepted
      ++number;
      if (auto failure = line(number, text.substr(start, end - start))) return std::unexpected(std::move(*failure));
      start = end + 1;
    }
    if (quorum_line_ == 0) return std::unexpected(WitnessError::malformed_policy(0, "no quorum line"));
    return std::move(policy_);
  }

 private:
  using Failure = std::optional<WitnessError>;

  Failure fail(std::string rule) const { return WitnessError::malformed_policy(number_, std::move(rule)); }

  Failure line(uint64_t number, std::string_view text) {
    number_ = number;
    if (has_disallowed_octet(text)) {
      const auto bad = std::find_if(text.begin(), text.end(), [](char c) { return !allowed_octet(static_cast<uint8_t>(c)); });
      return fail("disallowed octet " + type_hex(static_cast<uint8_t>(*bad)));
    }
    if (is_comment(text)) return std::nullopt;
    const std::vector<std::string_view> fields = split_fields(text);
    if (fields.empty()) return std::nullopt;
    for (std::size_t i = 1; i < fields.size(); ++i) {
      if (fields[i].starts_with('#')) return fail("a comment must be a whole line, found " + quote(fields[i]));
    }
    const std::string_view keyword = fields[0];
    const std::span<const std::string_view> args = std::span(fields).subspan(1);
    if (keyword == "log") return log_line(args);
    if (keyword == "witness") return witness_line(args);
    if (keyword == "group") return group_line(args);
    if (keyword == "quorum") return quorum_line(args);
    return fail("unknown line type " + quote(keyword));
  }

  Failure surplus(std::string_view kind, std::string_view field) const {
    return fail("surplus field " + quote(field) + " on a " + std::string(kind) + " line");
  }

  // A new name in the one namespace of witnesses and groups. (Key names are checked with their key.)
  Failure check_new_name(std::string_view name) const {
    if (!is_utf8(name)) return fail("name is not valid UTF-8");
    if (name == kNone) return fail("name \"none\" is reserved");
    if (const auto it = names_.find(name); it != names_.end()) {
      return fail("name " + quote(name) + " is already defined on line " + std::to_string(it->second.line));
    }
    return std::nullopt;
  }

  // The line of an earlier key of the same role with the same material, under any type or name;
  // records this key otherwise. Hashed, so a long policy stays linear.
  std::optional<uint64_t> duplicate_of(std::unordered_map<std::string, uint64_t>& seen, const Vkey& key) const {
    const auto [it, inserted] = seen.emplace(std::string(quorvantile_crypto::as_text(key.key)), number_);
    if (inserted) return std::nullopt;
    return it->second;
  }

  // Decodes a key, checks its type against the line's role, then completes it.
  template <class RoleCheck>
  std::expected<Vkey, WitnessError> vkey(std::string_view text, RoleCheck role_rule) const {
    const auto encoded = decode_vkey(text);
    if (!encoded) return std::unexpected(*fail(encoded.error()));
    if (std::optional<std::string> rule = role_rule(encoded->type())) return std::unexpected(*fail(std::move(*rule)));
    auto key = complete_vkey(*encoded);
    if (!key) return std::unexpected(*fail(std::move(key.error())));
    if (key->type == kMlDsa44CosignatureType && key->name.size() > kMaxEncodedNameLength) {
      return std::unexpected(*fail("key name of an ML-DSA-44 key is longer than 255 bytes"));
    }
    return std::move(*key);
  }

  Failure log_line(std::span<const std::string_view> args) {
    if (args.empty()) return fail("log line is missing its verifier key");
    if (args.size() > 2) return surplus("log", args[2]);
    auto key = vkey(args[0], [](uint8_t type) -> std::optional<std::string> {
      if (type == kEd25519NoteType || type == kMlDsa44CosignatureType || type == kCompositeType) return std::nullopt;
      return "log key type " + type_hex(type) + " is not a log signature type (0x01, 0x06 or 0xff)";
    });
    if (!key) return std::move(key.error());
    if (const auto earlier = duplicate_of(log_keys_, *key)) {
      return fail("duplicate log key: the same public key as on line " + std::to_string(*earlier));
    }
    policy_.logs.push_back(PolicyLog{std::move(*key), optional_field(args, 1)});
    return std::nullopt;
  }

  Failure witness_line(std::span<const std::string_view> args) {
    if (args.empty()) return fail("witness line is missing its name");
    if (args.size() == 1) return fail("witness line is missing its verifier key");
    if (args.size() > 3) return surplus("witness", args[3]);
    if (auto failure = check_new_name(args[0])) return failure;
    auto key = vkey(args[1], [](uint8_t type) -> std::optional<std::string> {
      if (type == kEd25519CosignatureType || type == kMlDsa44CosignatureType) return std::nullopt;
      return "witness keys are cosignature keys (type 0x04 or 0x06), not type " + type_hex(type);
    });
    if (!key) return std::move(key.error());
    if (const auto earlier = duplicate_of(witness_keys_, *key)) {
      return fail("duplicate witness key: the same public key as on line " + std::to_string(*earlier));
    }
    names_.emplace(args[0], Definition{{PolicyRef::Kind::Witness, policy_.witnesses.size()}, number_});
    policy_.witnesses.push_back(PolicyWitness{std::string(args[0]), std::move(*key), optional_field(args, 2)});
    return std::nullopt;
  }

  Failure group_line(std::span<const std::string_view> args) {
    if (args.empty()) return fail("group line is missing its name");
    if (auto failure = check_new_name(args[0])) return failure;
    if (args.size() == 1) return fail("group line is missing its threshold");
    const std::span<const std::string_view> members = args.subspan(2);
    if (members.empty()) return fail("group " + quote(args[0]) + " has no members");
    const auto threshold = parse_threshold(args[1], members.size());
    if (!threshold) {
      return fail("threshold " + quote(args[1]) + " is not all, any or a decimal number without leading zeros");
    }
    PolicyGroup group;
    group.name = std::string(args[0]);
    group.threshold = *threshold;
    group.members.reserve(members.size());
    for (const std::string_view member : members) {
      if (member == kNone) return fail("\"none\" cannot be a group member");
      const auto it = names_.find(member);
      if (it == names_.end()) return fail("group member " + quote(member) + " is not defined on an earlier line");
      if (it->second.used_as_member) return fail("group member " + quote(member) + " is used more than once");
      it->second.used_as_member = true;
      group.members.push_back(it->second.ref);
    }
    if (group.threshold == 0 || group.threshold > members.size()) {
      return fail("threshold " + std::to_string(group.threshold) + " is not between 1 and the " +
                  std::to_string(members.size()) + " members of group " + quote(args[0]));
    }
    names_.emplace(args[0], Definition{{PolicyRef::Kind::Group, policy_.groups.size()}, number_});
    policy_.groups.push_back(std::move(group));
    return std::nullopt;
  }

  Failure quorum_line(std::span<const std::string_view> args) {
    if (args.empty()) return fail("quorum line is missing its name");
    if (args.size() > 1) return surplus("quorum", args[1]);
    if (quorum_line_ != 0) return fail("second quorum line (the first is line " + std::to_string(quorum_line_) + ")");
    if (args[0] != kNone) {
      const auto it = names_.find(args[0]);
      if (it == names_.end()) return fail("quorum " + quote(args[0]) + " is not defined on an earlier line");
      policy_.quorum = it->second.ref;
    }
    quorum_line_ = number_;
    return std::nullopt;
  }

  static std::optional<std::string> optional_field(std::span<const std::string_view> args, std::size_t index) {
    if (index >= args.size()) return std::nullopt;
    return std::string(args[index]);
  }

  Policy policy_;
  std::unordered_map<std::string_view, Definition> names_;
  std::unordered_map<std::string, uint64_t> log_keys_;      // key material -> line
  std::unordered_map<std::string, uint64_t> witness_keys_;
  uint64_t quorum_line_ = 0;
  uint64_t number_ = 0;
};

}  // namespace

WitnessResult<Policy> Policy::parse(std::string_view text) { return Parser().run(text); }

}  // namespace quorvantile_log::witness
