// The witness component's interface description read back from its shared object, as a binding
// generator would, and the symbol sets of both libraries: each exports exactly its own namespace.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>

#include <cctype>
#include <cstdio>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "quorvantile_log.h"
#include "witness_support.hpp"

namespace qv_witness_abi {
namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;  // name, type

struct FunctionRow {
  std::string name;
  Fields args;
  std::string result;
};

const std::vector<FunctionRow> kFunctions = {
    {"witness_policy_parse", {{"policy", "string"}}, "record WitnessPolicy"},
    {"checkpoint_verify_cosigned", {{"note_text", "string"}, {"policy", "string"}}, "record CosignedCheckpoint"},
    {"checkpoint_verify_cosigned_consistency",
     {{"older_note", "string"}, {"newer_note", "string"}, {"policy", "string"}, {"proof", "sequence<sequence<u8>>"}},
     "none"},
    {"tlog_proof_verify", {{"proof_text", "string"}, {"policy", "string"}, {"leaf_hash", "sequence<u8>"}},
     "record TlogProof"},
};

struct RecordRow {
  std::string name;
  Fields fields;
};

const std::vector<RecordRow> kRecords = {
    {"WitnessGroup", {{"name", "string"}, {"threshold", "u64"}, {"members", "sequence<string>"}}},
    {"WitnessPolicy",
     {{"log_key_names", "sequence<string>"}, {"witness_names", "sequence<string>"},
      {"groups", "sequence<record WitnessGroup>"}, {"quorum", "string"}}},
    {"RejectedWitness", {{"name", "string"}, {"reason", "string"}}},
    {"CheckpointHead",
     {{"origin", "string"}, {"size", "u64"}, {"root", "sequence<u8>"}, {"extensions", "sequence<string>"}}},
    {"CosignedCheckpoint",
     {{"checkpoint", "record CheckpointHead"}, {"log_key_name", "string"}, {"counted_witnesses", "sequence<string>"},
      {"rejected_witnesses", "sequence<record RejectedWitness>"}, {"oldest_timestamp", "optional<u64>"},
      {"newest_timestamp", "optional<u64>"}}},
    {"TlogProof", {{"index", "u64"}, {"extra", "optional<sequence<u8>>"}, {"checkpoint", "record CosignedCheckpoint"}}},
};

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::set<std::string> exported_symbols(const char* path) {
  FILE* p = popen((std::string("nm -D --defined-only ") + path).c_str(), "r");
  if (p == nullptr) throw std::runtime_error("cannot run nm");
  std::set<std::string> names;
  char line[512];
  while (std::fgets(line, sizeof line, p) != nullptr) {
    std::string s(line);
    while (!s.empty() && s.back() == '\n') s.pop_back();
    names.insert(s.substr(s.rfind(' ') + 1));
  }
  pclose(p);
  return names;
}

std::set<std::string> expected_symbols() {
  std::set<std::string> want = {"ffi_quorvantile_witness_rustbuffer_alloc", "ffi_quorvantile_witness_rustbuffer_from_bytes",
                                "ffi_quorvantile_witness_rustbuffer_free", "ffi_quorvantile_witness_rustbuffer_reserve",
                                "ffi_quorvantile_witness_uniffi_contract_version",
                                "UNIFFI_META_NAMESPACE_QUORVANTILE_WITNESS",
                                "UNIFFI_META_QUORVANTILE_WITNESS_ERROR_WITNESSERROR"};
  for (const char* kind : {"u8", "i8", "u16", "i16", "u32", "i32", "u64", "i64", "f32", "f64", "rust_buffer", "void"})
    for (const char* op : {"poll", "cancel", "complete", "free"})
      want.insert(std::string("ffi_quorvantile_witness_rust_future_") + op + "_" + kind);
  for (const auto& f : kFunctions) {
    want.insert("uniffi_quorvantile_witness_fn_func_" + f.name);
    want.insert("uniffi_quorvantile_witness_checksum_func_" + f.name);
    want.insert("UNIFFI_META_QUORVANTILE_WITNESS_FUNC_" + upper(f.name));
  }
  for (const auto& r : kRecords) want.insert("UNIFFI_META_QUORVANTILE_WITNESS_RECORD_" + upper(r.name));
  return want;
}

Bytes symbol_bytes(void* lib, const std::string& name) {
  void* addr = dlsym(lib, name.c_str());
  if (addr == nullptr) throw std::runtime_error("missing symbol " + name);
  Dl_info info;
  void* entry = nullptr;
  if (dladdr1(addr, &info, &entry, RTLD_DL_SYMENT) == 0 || entry == nullptr)
    throw std::runtime_error("no symbol entry for " + name);
  const auto* p = static_cast<const uint8_t*>(addr);
  return Bytes(p, p + static_cast<const ElfW(Sym)*>(entry)->st_size);
}

// Reads description records; every named type must carry the witness module path.
class RecordReader {
 public:
  explicit RecordReader(Bytes b) : b_(std::move(b)) {}
  uint8_t byte() {
    if (pos_ >= b_.size()) throw std::runtime_error("record ends early");
    return b_[pos_++];
  }
  std::string short_string() { return chars(byte()); }
  std::string doc() {
    const std::size_t lo = byte(), hi = byte();
    return chars(lo | hi << 8);
  }
  std::string type() {
    switch (const uint8_t code = byte()) {
      case 0x00: return "u8";
      case 0x03: return "u64";
      case 0x0B: return "string";
      case 0x0C: return "optional<" + type() + ">";
      case 0x11: return "sequence<" + type() + ">";
      case 0x0D: return "record " + named();
      case 0x0E: return "enum " + named();
      case 0xFF: return "none";
      default: throw std::runtime_error("unexpected type code " + std::to_string(code));
    }
  }
  bool done() const { return pos_ == b_.size(); }
  const Bytes& bytes() const { return b_; }

 private:
  std::string named() {
    const std::string path = short_string();
    if (path != "quorvantile_witness::ffi") throw std::runtime_error("module path " + path);
    return short_string();
  }
  std::string chars(std::size_t n) {
    if (pos_ + n > b_.size()) throw std::runtime_error("record ends early");
    std::string s(b_.begin() + static_cast<std::ptrdiff_t>(pos_), b_.begin() + static_cast<std::ptrdiff_t>(pos_ + n));
    pos_ += n;
    return s;
  }
  Bytes b_;
  std::size_t pos_ = 0;
};

uint16_t fold(const Bytes& bytes) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (uint8_t b : bytes) h = (h ^ b) * 0x100000001b3ull;
  return static_cast<uint16_t>(h ^ (h >> 16) ^ (h >> 32) ^ (h >> 48));
}

class WitnessDescription : public ::testing::Test {
 protected:
  void SetUp() override {
    lib_ = dlopen(QV_WITNESS_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib_, nullptr) << dlerror();
  }
  void TearDown() override { dlclose(lib_); }
  void* lib_ = nullptr;
};

TEST_F(WitnessDescription, ExportedSymbolsAreExactlyTheInterface) {
  const auto got = exported_symbols(QV_WITNESS_LIBRARY_PATH);
  EXPECT_EQ(got, expected_symbols());
  // 4 functions, 4 checksums, 4 buffer functions, the contract version, 48 call-handle functions,
  // 12 description objects.
  EXPECT_EQ(got.size(), 73u);
}

// Each library exports only its own namespace: the log library's set is what it was (142
// symbols, no witness symbol) and the witness component exports nothing of the log library.
TEST_F(WitnessDescription, EachLibraryExportsOnlyItsOwnNamespace) {
  struct Case {
    const char* path;
    std::size_t count;
    std::string own, other;
  };
  const Case cases[] = {{QV_LIBRARY_PATH, 142, "quorvantile_log", "quorvantile_witness"},
                        {QV_WITNESS_LIBRARY_PATH, 73, "quorvantile_witness", "quorvantile_log_"}};
  for (const Case& c : cases) {
    const auto symbols = exported_symbols(c.path);
    EXPECT_EQ(symbols.size(), c.count) << c.path;
    for (const auto& name : symbols) {
      std::string lower = name;
      for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
      EXPECT_NE(lower.find(c.own), std::string::npos) << c.path << ": " << name;
      EXPECT_EQ(lower.find(c.other), std::string::npos) << c.path << ": " << name;
    }
  }
}

TEST_F(WitnessDescription, ContractVersion) {
  EXPECT_EQ(ffi_quorvantile_witness_uniffi_contract_version(), 30u);
  EXPECT_EQ(ffi_quorvantile_log_uniffi_contract_version(), 30u);
}

TEST_F(WitnessDescription, FunctionRecordsDecodeToTheFunctionTableAndChecksum) {
  const std::vector<uint16_t (*)()> checksums = {
      uniffi_quorvantile_witness_checksum_func_witness_policy_parse,
      uniffi_quorvantile_witness_checksum_func_checkpoint_verify_cosigned,
      uniffi_quorvantile_witness_checksum_func_checkpoint_verify_cosigned_consistency,
      uniffi_quorvantile_witness_checksum_func_tlog_proof_verify};
  std::set<uint16_t> distinct;
  for (std::size_t i = 0; i < kFunctions.size(); ++i) {
    const FunctionRow& row = kFunctions[i];
    RecordReader r(symbol_bytes(lib_, "UNIFFI_META_QUORVANTILE_WITNESS_FUNC_" + upper(row.name)));
    EXPECT_EQ(r.byte(), 0x00);
    EXPECT_EQ(r.short_string(), "quorvantile_witness::ffi");
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
    EXPECT_EQ(r.type(), "enum WitnessError");
    EXPECT_FALSE(r.doc().empty()) << row.name;
    EXPECT_TRUE(r.done()) << row.name;
    // The linked function and the one found by name are the same, and both fold the record.
    auto by_name = reinterpret_cast<uint16_t (*)()>(
        dlsym(lib_, ("uniffi_quorvantile_witness_checksum_func_" + row.name).c_str()));
    ASSERT_NE(by_name, nullptr);
    EXPECT_EQ(by_name(), fold(r.bytes())) << row.name;
    EXPECT_EQ(checksums[i](), by_name()) << row.name;
    distinct.insert(by_name());
  }
  EXPECT_EQ(distinct.size(), kFunctions.size());
}

TEST_F(WitnessDescription, RecordDescriptions) {
  for (const auto& row : kRecords) {
    RecordReader r(symbol_bytes(lib_, "UNIFFI_META_QUORVANTILE_WITNESS_RECORD_" + upper(row.name)));
    EXPECT_EQ(r.byte(), 0x02);
    EXPECT_EQ(r.short_string(), "quorvantile_witness::ffi");
    EXPECT_EQ(r.short_string(), row.name);
    EXPECT_EQ(r.byte(), 0x00);
    ASSERT_EQ(r.byte(), row.fields.size()) << row.name;
    for (const auto& [name, type] : row.fields) {
      EXPECT_EQ(r.short_string(), name) << row.name;
      EXPECT_EQ(r.byte(), 0x00);
      EXPECT_EQ(r.type(), type) << row.name << "." << name;
      EXPECT_EQ(r.byte(), 0x00);
      EXPECT_FALSE(r.doc().empty()) << row.name << "." << name;
    }
    EXPECT_FALSE(r.doc().empty()) << row.name;
    EXPECT_TRUE(r.done()) << row.name;
  }
}

TEST_F(WitnessDescription, ErrorAndNamespaceRecords) {
  RecordReader error(symbol_bytes(lib_, "UNIFFI_META_QUORVANTILE_WITNESS_ERROR_WITNESSERROR"));
  EXPECT_EQ(error.byte(), 0x03);
  EXPECT_EQ(error.short_string(), "quorvantile_witness::ffi");
  EXPECT_EQ(error.short_string(), "WitnessError");
  EXPECT_EQ(error.byte(), 0x00);
  EXPECT_EQ(error.byte(), 2) << "shape: error with message-only variants";
  EXPECT_EQ(error.byte(), 0x00);
  ASSERT_EQ(error.byte(), 3);
  for (const char* variant : {"Verification", "MalformedPolicy", "MalformedInput"}) {
    EXPECT_EQ(error.short_string(), variant);
    EXPECT_EQ(error.byte(), 0x00);
    EXPECT_FALSE(error.doc().empty()) << variant;
  }
  EXPECT_EQ(error.byte(), 0x00) << "non-exhaustive flag";
  error.doc();
  EXPECT_TRUE(error.done());

  const Bytes ns = symbol_bytes(lib_, "UNIFFI_META_NAMESPACE_QUORVANTILE_WITNESS");
  const std::string name = "quorvantile_witness";
  Bytes want{0x06, static_cast<uint8_t>(name.size())};
  want.insert(want.end(), name.begin(), name.end());
  want.push_back(static_cast<uint8_t>(name.size()));
  want.insert(want.end(), name.begin(), name.end());
  EXPECT_EQ(ns, want);
  EXPECT_EQ(ns.size(), 41u);
}

}  // namespace
}  // namespace qv_witness_abi
