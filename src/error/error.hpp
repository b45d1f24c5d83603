#pragma once
// The internal error catalogue: 22 kinds, each with one fixed message form, and the one exported
// error VerifyError whose only variant carries the rendered message.
#include <cstdint>
#include <expected>
#include <string>
#include <string_view>

namespace quorvantile_log {

class Error {
 public:
  enum class Kind : uint8_t {
    LeafIndexBeyondSize,
    WrongProofSize,
    InvalidHashLength,
    RootMismatch,
    EmptyTreeConsistency,
    TreeSizeRegression,
    NonEmptyEqualSizeProof,
    MalformedLeaf,
    MalformedCheckpoint,
    MalformedNote,
    InvalidSignature,
    NoTrustedSignature,
    MalformedNamespace,
    Vrf,
    VrfProofInvalid,
    CommitmentMismatch,
    MalformedConiksProof,
    ConiksRootMismatch,
    MalformedPolicy,
    PostureMismatch,
    MalformedKeytrans,
    KeytransRootMismatch,
  };

  static Error leaf_index_beyond_size(uint64_t index, uint64_t size);
  static Error wrong_proof_size(std::size_t got, std::size_t want);
  static Error invalid_hash_length(std::size_t got, std::size_t want);
  static Error root_mismatch();
  static Error empty_tree_consistency();
  static Error tree_size_regression(uint64_t size1, uint64_t size2);
  static Error non_empty_equal_size_proof();
  static Error malformed_leaf(std::string detail);
  static Error malformed_checkpoint(std::string detail);
  static Error malformed_note(std::string detail);
  static Error invalid_signature(std::string name, uint32_t key_id);
  static Error no_trusted_signature();
  static Error malformed_namespace(std::string detail);
  static Error vrf(std::string detail);
  static Error vrf_proof_invalid();
  static Error commitment_mismatch();
  static Error malformed_coniks_proof(std::string detail);
  static Error coniks_root_mismatch();
  static Error malformed_policy(std::string detail);
  static Error posture_mismatch(std::string declared, std::string observed);
  static Error malformed_keytrans(std::string detail);
  static Error keytrans_root_mismatch();

  Kind kind() const { return kind_; }
  // The detail text of the detail-carrying kinds (the name for InvalidSignature).
  const std::string& detail() const { return text1_; }

  // The message in the fixed form of this kind.
  std::string render() const;

  friend bool operator==(const Error&, const Error&) = default;

 private:
  explicit Error(Kind kind, std::string text1 = {}, std::string text2 = {}, uint64_t a = 0, uint64_t b = 0)
      : kind_(kind), text1_(std::move(text1)), text2_(std::move(text2)), a_(a), b_(b) {}

  Kind kind_;
  std::string text1_;
  std::string text2_;
  uint64_t a_;
  uint64_t b_;
};

template <class T>
using Result = std::expected<T, Error>;

// The exported error: a variant holding the message. The log library's VerifyError has the one
// variant Verification (1); a component's error may number further variants after it.
struct VerifyError {
  std::string message;
  int32_t variant = 1;

  static VerifyError from(const Error& error) { return {error.render()}; }
  friend bool operator==(const VerifyError&, const VerifyError&) = default;
};

// Result of an export's work: a value or the exported error (the work operation's Error already
// rendered, or a message an export composed itself, such as a length check).
template <class T>
using ExportResult = std::expected<T, VerifyError>;

// `{x:?}` of the message forms: the text between double quotes with escapes (see quote.cpp).
std::string quote(std::string_view text);

}  // namespace quorvantile_log
