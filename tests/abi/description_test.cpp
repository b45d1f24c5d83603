// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The embedded interface description read back from the built shared object, as a binding
// generator would: the exported symbol set, every description record decoded against the
// function table, and the checksums.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "abi_support.hpp"

namespace qv_abi {
namespace {

struct FunctionRow {
  std::string name;
  std::vector<std::pair<std::string, std::string>> args;  // name, type
  std::string result;
};

const std::vector<std::pair<std::string, std::string>> kKeyHistoryArgs = {
    {"seq", "u64"}, {"ts_ms", "u64"}, {"enc_x25519", "sequence<u8>"}, {"enc_pq", "sequence<u8>"},
    {"signing_pub", "sequence<u8>"}, {"prev_entry_hash", "optional<sequence<u8>>"}};
const std::vector<std::pair<std::string, std::string>> kDirectoryArgs = {
    {"context", "string"}, {"vrf_public", "sequence<u8>"}, {"root", "sequence<u8>"}, {"label", "sequence<u8>"},
    {"proof", "sequence<u8>"}};

std::vector<std::pair<std::string, std::string>> with_suite(std::vector<std::pair<std::string, std::string>> args) {
  args.insert(args.begin(), {"suite_id", "u16"});
  return args;
}

std::vector<std::pair<std::string, std::string>> with_context(std::vector<std::pair<std::string, std::string>> args) {
  args.insert(args.begin(), {"context", "string"});
  return args;
}

// The function table of the interface: every verification function, arguments and result.
const std::vector<FunctionRow>& function_table() {
  static const std::vector<FunctionRow> table = {
      {"checkpoint_parse", {{"body_text", "string"}}, "record CheckpointHead"},
      {"checkpoint_verify", {{"note_text", "string"}, {"vkeys", "sequence<string>"}}, "record CheckpointHead"},
      {"checkpoint_verify_consistency",
       {{"older_note", "string"}, {"newer_note", "string"}, {"vkeys", "sequence<string>"}, {"proof", "sequence<sequence<u8>>"}},
       "none"},
      {"checkpoint_verify_inclusion",
       {{"note_text", "string"}, {"vkeys", "sequence<string>"}, {"leaf_index", "u64"}, {"leaf_hash", "sequence<u8>"},
        {"proof", "sequence<sequence<u8>>"}},
       "none"},
      {"coniks_verify_absence",
       {{"namespace", "string"}, {"vrf_public", "sequence<u8>"}, {"root", "sequence<u8>"}, {"identity", "sequence<u8>"},
        {"proof", "sequence<u8>"}},
       "none"},
      {"coniks_verify_lookup",
       {{"namespace", "string"}, {"vrf_public", "sequence<u8>"}, {"root", "sequence<u8>"}, {"identity", "sequence<u8>"},
        {"proof", "sequence<u8>"}},
       "sequence<u8>"},
      {"key_history_entry_hash_with_context", with_context(kKeyHistoryArgs), "sequence<u8>"},
      {"key_history_v1_canonical_bytes", kKeyHistoryArgs, "sequence<u8>"},
      {"key_history_v1_entry_hash", kKeyHistoryArgs, "sequence<u8>"},
      {"key_history_v1_rfc6962_leaf_hash", kKeyHistoryArgs, "sequence<u8>"},
      {"keytrans_verify_fixed_version", kDirectoryArgs, "record SearchResult"},
      {"keytrans_verify_fixed_version_suite", with_suite(kDirectoryArgs), "record SearchResult"},
      {"keytrans_verify_monitor", kDirectoryArgs, "none"},
      {"keytrans_verify_monitor_suite", with_suite(kDirectoryArgs), "none"},
      {"keytrans_verify_search", kDirectoryArgs, "record SearchResult"},
      {"keytrans_verify_search_suite", with_suite(kDirectoryArgs), "record SearchResult"},
      {"policy_enforce_checkpoint_signature", {{"envelope", "sequence<u8>"}, {"signature", "string"}}, "none"},
      {"policy_enforce_checkpoint_signing_key", {{"envelope", "sequence<u8>"}, {"public_key", "string"}}, "none"},
      {"policy_enforce_commitment_hash", {{"envelope", "sequence<u8>"}, {"observed", "enum CommitmentHash"}}, "none"},
      {"policy_enforce_directory_backend", {{"envelope", "sequence<u8>"}, {"observed_backend_id", "u16"}}, "none"},
      {"policy_enforce_vrf_suite_id", {{"envelope", "sequence<u8>"}, {"observed_suite_id", "u8"}}, "none"},
      {"signed_policy_verify", {{"envelope", "sequence<u8>"}}, "record PolicyPosture"},
      {"verify_commitment",
       {{"context", "string"}, {"commitment", "sequence<u8>"}, {"value", "sequence<u8>"}, {"opening", "sequence<u8>"}},
       "none"},
      {"verify_consistency",
       {{"size1", "u64"}, {"size2", "u64"}, {"proof", "sequence<sequence<u8>>"}, {"root1", "sequence<u8>"},
        {"root2", "sequence<u8>"}},
       "none"},
      {"verify_inclusion",
       {{"index", "u64"}, {"size", "u64"}, {"leaf_hash", "sequence<u8>"}, {"proof", "sequence<sequence<u8>>"},
        {"root", "sequence<u8>"}},
       "none"},
      {"verify_signed_note", {{"note_text", "string"}, {"vkeys", "sequence<string>"}}, "u32"},
  };
  return table;
}

// The functions whose work has landed: exactly these are exported.
const std::set<std::string> kLanded = {"verify_inclusion",  "verify_consistency",          "verify_signed_note",
                                       "checkpoint_parse",  "checkpoint_verify",           "checkpoint_verify_inclusion",
                                       "checkpoint_verify_consistency", "verify_commitment",
                                       "coniks_verify_lookup", "coniks_verify_absence",
                                       "key_history_v1_canonical_bytes", "key_history_v1_entry_hash",
                                       "key_history_v1_rfc6962_leaf_hash", "key_history_entry_hash_with_context",
                                       "keytrans_verify_search",
                                       "keytrans_verify_search_suite",
                                       "keytrans_verify_monitor",
                                       "keytrans_verify_monitor_suite",
                                       "keytrans_verify_fixed_version",
                                       "keytrans_verify_fixed_version_suite",
                                       "signed_policy_verify", "policy_enforce_checkpoint_signature",
                                       "policy_enforce_checkpoint_signing_key", "policy_enforce_commitment_hash",
                                       "policy_enforce_directory_backend", "policy_enforce_vrf_suite_id"};

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::set<std::string> exported_symbols() {
  const std::string cmd = std::string("nm -D --defined-only ") + QV_LIBRARY_PATH;
  FILE* p = popen(cmd.c_str(), "r");
  if (p == nullptr) throw std::runtime_error("cannot run nm");
  std::set<std::string> names;
  char line[512];
  while (std::fgets(line, sizeof line, p) != nullptr) {
    std::string s(line);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    const auto pos = s.rfind(' ');
    names.insert(s.substr(pos + 1));
  }
  pclose(p);
  return names;
}

std::set<std::string> expected_symbols() {
  std::set<std::string> want = {
      "ffi_quorvantile_log_rustbuffer_alloc", "ffi_quorvantile_log_rustbuffer_from_bytes",
      "ffi_quorvantile_log_rustbuffer_free", "ffi_quorvantile_log_rustbuffer_reserve",
      "ffi_quorvantile_log_uniffi_contract_version", "UNIFFI_META_NAMESPACE_QUORVANTILE_LOG",
      "UNIFFI_META_QUORVANTILE_LOG_RECORD_CHECKPOINTHEAD", "UNIFFI_META_QUORVANTILE_LOG_RECORD_SEARCHRESULT",
      "UNIFFI_META_QUORVANTILE_LOG_RECORD_POLICYPOSTURE", "UNIFFI_META_QUORVANTILE_LOG_ENUM_CHECKPOINTSUITE",
      "UNIFFI_META_QUORVANTILE_LOG_ENUM_COMMITMENTHASH", "UNIFFI_META_QUORVANTILE_LOG_ENUM_DIRECTORYMODE",
      "UNIFFI_META_QUORVANTILE_LOG_ENUM_KEYTRANSSUITE", "UNIFFI_META_QUORVANTILE_LOG_ENUM_SECURITYLEVEL",
      "UNIFFI_META_QUORVANTILE_LOG_ENUM_VRFMODE", "UNIFFI_META_QUORVANTILE_LOG_ERROR_VERIFYERROR"};
  for (const char* kind : {"u8", "i8", "u16", "i16", "u32", "i32", "u64", "i64", "f32", "f64", "rust_buffer", "void"})
    for (const char* op : {"poll", "cancel", "complete", "free"})
      want.insert(std::string("ffi_quorvantile_log_rust_future_") + op + "_" + kind);
  for (const auto& name : kLanded) {
    want.insert("uniffi_quorvantile_log_fn_func_" + name);
    want.insert("uniffi_quorvantile_log_checksum_func_" + name);
    want.insert("UNIFFI_META_QUORVANTILE_LOG_FUNC_" + upper(name));
  }
  return want;
}

// The bytes of an exported data object; its length is the symbol's size.
Bytes symbol_bytes(void* lib, const std::string& name) {
  void* addr = dlsym(lib, name.c_str());
  if (addr == nullptr) throw std::runtime_error("missing symbol " + name);
  Dl_info info;
  void* entry = nullptr;
  if (dladdr1(addr, &info, &entry, RTLD_DL_SYMENT) == 0 || entry == nullptr)
    throw std::runtime_error("no symbol entry for " + name);
  const auto* sym = static_cast<const ElfW(Sym)*>(entry);
  const auto* p = static_cast<const uint8_t*>(addr);
  return Bytes(p, p + sym->st_size);
}

class RecordReader {
 public:
  explicit RecordReader(const Bytes& b) : b_(b) {}
  uint8_t byte() {
    if (pos_ >= b_.size()) throw std::runtime_error("record ends early");
    return b_[pos_++];
  }
  std::string short_string() {
    const uint8_t n = byte();
    return chars(n);
  }
  std::string doc() {
    const uint16_t lo = byte();
    const uint16_t hi = byte();
    return chars(static_cast<std::size_t>(lo | (hi << 8)));
  }
  std::string type() {
    const uint8_t code = byte();
    switch (code) {
      case 0x00: return "u8";
      case 0x01: return "u16";
      case 0x02: return "u32";
      case 0x03: return "u64";
      case 0x0A: return "bool";
      case 0x0B: return "string";
      case 0x0C: return "optional<" + type() + ">";
      case 0x11: return "sequence<" + type() + ">";
      case 0x0D: return "record " + path_then_name();
      case 0x0E: return "enum " + path_then_name();
      case 0xFF: return "none";
      default: throw std::runtime_error("unknown type code " + std::to_string(code));
    }
  }
  bool done() const { return pos_ == b_.size(); }

 private:
  std::string path_then_name() {
    const std::string path = short_string();
    if (path != "quorvantile_log::ffi") throw std::runtime_error("module path " + path);
    return short_string();
  }
  std::string chars(std::size_t n) {
    if (pos_ + n > b_.size()) throw std::runtime_error("record ends early");
    std::string s(b_.begin() + static_cast<std::ptrdiff_t>(pos_), b_.begin() + static_cast<std::ptrdiff_t>(pos_ + n));
    pos_ += n;
    return s;
  }
  const Bytes& b_;
  std::size_t pos_ = 0;
};

uint16_t fold(const Bytes& bytes) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (uint8_t b : bytes) {
    h ^= b;
    h *= 0x100000001b3ull;
  }
  return static_cast<uint16_t>(h ^ (h >> 16) ^ (h >> 32) ^ (h >> 48));
}

class Description : public ::testing::Test {
 protected:
  void SetUp() override {
    lib_ = dlopen(QV_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib_, nullptr) << dlerror();
  }
  void TearDown() override { dlclose(lib_); }
  void* lib_ = nullptr;
};

TEST(Checksum, FoldOfAbc) {
  const Bytes abc{'a', 'b', 'c'};
  uint64_t h = 0xcbf29ce484222325ull;
  for (uint8_t b : abc) h = (h ^ b) * 0x100000001b3ull;
  EXPECT_EQ(h, 0xe71fa2190541574bull);
  EXPECT_EQ(fold(abc), 0x170c);
}

TEST_F(Description, ExportedSymbolsAreExactlyTheInterface) {
  const auto got = exported_symbols();
  const auto want = expected_symbols();
  std::vector<std::string> extra, missing;
  std::set_difference(got.begin(), got.end(), want.begin(), want.end(), std::back_inserter(extra));
  std::set_difference(want.begin(), want.end(), got.begin(), got.end(), std::back_inserter(missing));
  EXPECT_TRUE(extra.empty()) << "unexpected: " << ::testing::PrintToString(extra);
  EXPECT_TRUE(missing.empty()) << "missing: " << ::testing::PrintToString(missing);
}

// With every function landed, the symbol set is the whole interface and nothing else: 26
// functions, 26 checksums, 4 buffer functions, the contract version, 48 call-handle functions and
// 37 description objects.
TEST_F(Description, CompleteInterfaceOnceEveryFunctionHasLanded) {
  if (kLanded.size() < function_table().size()) {
    GTEST_SKIP() << kLanded.size() << " of " << function_table().size() << " functions landed";
  }
  ASSERT_EQ(function_table().size(), 26u);
  for (const auto& row : function_table()) EXPECT_TRUE(kLanded.contains(row.name)) << row.name;
  EXPECT_EQ(kLanded.size(), 26u);
  std::map<std::string, int> families;
  for (const auto& name : exported_symbols()) {
    if (name.starts_with("uniffi_quorvantile_log_fn_func_")) ++families["functions"];
    else if (name.starts_with("uniffi_quorvantile_log_checksum_func_")) ++families["checksums"];
    else if (name.starts_with("ffi_quorvantile_log_rustbuffer_")) ++families["buffers"];
    else if (name == "ffi_quorvantile_log_uniffi_contract_version") ++families["contract"];
    else if (name.starts_with("ffi_quorvantile_log_rust_future_")) ++families["futures"];
    else if (name.starts_with("UNIFFI_META_")) ++families["descriptions"];
    else ++families["other: " + name];
  }
  const std::map<std::string, int> want = {{"functions", 26}, {"checksums", 26}, {"buffers", 4},
                                           {"contract", 1},   {"futures", 48},   {"descriptions", 37}};
  EXPECT_EQ(families, want);
  EXPECT_EQ(exported_symbols(), expected_symbols());
}

TEST_F(Description, FunctionRecordsDecodeToTheFunctionTable) {
  int checked = 0;
  for (const auto& row : function_table()) {
    if (!kLanded.contains(row.name)) continue;
    const Bytes record = symbol_bytes(lib_, "UNIFFI_META_QUORVANTILE_LOG_FUNC_" + upper(row.name));
    RecordReader r(record);
    EXPECT_EQ(r.byte(), 0x00);
    EXPECT_EQ(r.short_string(), "quorvantile_log::ffi");
    EXPECT_EQ(r.short_string(), row.name);
    EXPECT_EQ(r.byte(), 0x00) << "async flag";
    EXPECT_EQ(r.byte(), 0x00);
    ASSERT_EQ(r.byte(), row.args.size()) << row.name;
    for (const auto& [name, type] : row.args) {
      EXPECT_EQ(r.short_string(), name) << row.name;
      EXPECT_EQ(r.type(), type) << row.name << "." << name;
      EXPECT_EQ(r.byte(), 0x00);
      EXPECT_EQ(r.byte(), 0x00);
    }
    EXPECT_EQ(r.byte(), 0x17);
    EXPECT_EQ(r.type(), row.result) << row.name;
    EXPECT_EQ(r.type(), "enum VerifyError");
    EXPECT_FALSE(r.doc().empty()) << row.name;
    EXPECT_TRUE(r.done()) << row.name << ": trailing bytes";

    auto checksum = reinterpret_cast<uint16_t (*)()>(dlsym(lib_, ("uniffi_quorvantile_log_checksum_func_" + row.name).c_str()));
    ASSERT_NE(checksum, nullptr);
    EXPECT_EQ(checksum(), fold(record)) << row.name;
    ++checked;
  }
  EXPECT_EQ(checked, static_cast<int>(kLanded.size()));
}

TEST_F(Description, VerifyInclusionRecordPrefix) {
  const Bytes record = symbol_bytes(lib_, "UNIFFI_META_QUORVANTILE_LOG_FUNC_VERIFY_INCLUSION");
  Bytes want{0x00, 0x14};
  const std::string path = "quorvantile_log::ffi", name = "verify_inclusion";
  want.insert(want.end(), path.begin(), path.end());
  want.push_back(0x10);
  want.insert(want.end(), name.begin(), name.end());
  want.insert(want.end(), {0x00, 0x00, 0x05, 0x05, 'i', 'n', 'd', 'e', 'x', 0x03, 0x00, 0x00});
  ASSERT_GE(record.size(), want.size());
  EXPECT_EQ(Bytes(record.begin(), record.begin() + static_cast<std::ptrdiff_t>(want.size())), want);
}

TEST_F(Description, NamespaceRecord) {
  const Bytes record = symbol_bytes(lib_, "UNIFFI_META_NAMESPACE_QUORVANTILE_LOG");
  ASSERT_EQ(record.size(), 33u);
  RecordReader r(record);
  EXPECT_EQ(r.byte(), 0x06);
  EXPECT_EQ(r.short_string(), "quorvantile_log");
  EXPECT_EQ(r.short_string(), "quorvantile_log");
  EXPECT_TRUE(r.done());
}

struct RecordRow {
  std::string symbol, name;
  std::vector<std::pair<std::string, std::string>> fields;
};

TEST_F(Description, RecordDescriptions) {
  const RecordRow rows[] = {
      {"RECORD_CHECKPOINTHEAD", "CheckpointHead",
       {{"origin", "string"}, {"size", "u64"}, {"root", "sequence<u8>"}, {"extensions", "sequence<string>"}}},
      {"RECORD_SEARCHRESULT", "SearchResult", {{"present", "bool"}, {"value", "optional<sequence<u8>>"}}},
      {"RECORD_POLICYPOSTURE", "PolicyPosture",
       {{"namespace", "string"}, {"policy_schema_version", "u32"}, {"security_level", "enum SecurityLevel"},
        {"checkpoint_suite", "enum CheckpointSuite"}, {"commitment_hash", "enum CommitmentHash"},
        {"vrf_mode", "enum VrfMode"}, {"directory_mode", "enum DirectoryMode"}, {"keytrans_suite", "enum KeytransSuite"},
        {"effective_from", "u64"}, {"created_at", "u64"}, {"policy_hash", "sequence<u8>"},
        {"rfc6962_leaf_hash", "sequence<u8>"}}},
  };
  for (const auto& row : rows) {
    const Bytes record = symbol_bytes(lib_, "UNIFFI_META_QUORVANTILE_LOG_" + row.symbol);
    RecordReader r(record);
    EXPECT_EQ(r.byte(), 0x02);
    EXPECT_EQ(r.short_string(), "quorvantile_log::ffi");
    EXPECT_EQ(r.short_string(), row.name);
    EXPECT_EQ(r.byte(), 0x00);
    ASSERT_EQ(r.byte(), row.fields.size());
    for (const auto& [name, type] : row.fields) {
      EXPECT_EQ(r.short_string(), name);
      EXPECT_EQ(r.byte(), 0x00);
      EXPECT_EQ(r.type(), type) << row.name << "." << name;
      EXPECT_EQ(r.byte(), 0x00);
      r.doc();
    }
    r.doc();
    EXPECT_TRUE(r.done()) << row.name;
  }
}

struct EnumRow {
  std::string symbol, name;
  uint8_t shape;
  std::vector<std::string> variants;
};

TEST_F(Description, EnumerationAndErrorDescriptions) {
  const EnumRow rows[] = {
      {"ENUM_CHECKPOINTSUITE", "CheckpointSuite", 0, {"Hybrid", "HybridMatched", "PureCnsa2"}},
      {"ENUM_COMMITMENTHASH", "CommitmentHash", 0, {"Sha3_256", "Sha3_512"}},
      {"ENUM_DIRECTORYMODE", "DirectoryMode", 0, {"Coniks", "Keytrans"}},
      {"ENUM_KEYTRANSSUITE", "KeytransSuite", 0, {"QuorvantileHybridExp", "Kt128Sha256Ed25519", "Kt128Sha256P256"}},
      {"ENUM_SECURITYLEVEL", "SecurityLevel", 0, {"Cat3", "Cat5"}},
      {"ENUM_VRFMODE", "VrfMode", 0, {"Classical", "HybridOutput", "PurePqExperimental"}},
      {"ERROR_VERIFYERROR", "VerifyError", 2, {"Verification"}},
  };
  for (const auto& row : rows) {
    const Bytes record = symbol_bytes(lib_, "UNIFFI_META_QUORVANTILE_LOG_" + row.symbol);
    RecordReader r(record);
    EXPECT_EQ(r.byte(), 0x03);
    EXPECT_EQ(r.short_string(), "quorvantile_log::ffi");
    EXPECT_EQ(r.short_string(), row.name);
    EXPECT_EQ(r.byte(), 0x00);
    EXPECT_EQ(r.byte(), row.shape);
    EXPECT_EQ(r.byte(), 0x00);
    ASSERT_EQ(r.byte(), row.variants.size());
    for (const auto& v : row.variants) {
      EXPECT_EQ(r.short_string(), v);
      for (int i = 0; i < (row.shape == 0 ? 3 : 1); ++i) EXPECT_EQ(r.byte(), 0x00);
      r.doc();
    }
    EXPECT_EQ(r.byte(), 0x00);
    r.doc();
    EXPECT_TRUE(r.done()) << row.name;
  }
}

}  // namespace
}  // namespace qv_abi
