#pragma once
// The witness component's error catalogue: a fixed set of kinds, each with one lower-case message
// form. The exported error carries the rendered message.
#include <cstdint>
#include <expected>
#include <string>

#include "error/error.hpp"

namespace quorvantile_log::witness {

class WitnessError {
 public:
  enum class Kind : uint8_t {
    MalformedPolicy,       // "policy line N: <rule>" or, for whole-file rules, "policy: <rule>"
    MalformedProof,        // "malformed tlog proof: <rule>"
    Library,               // a note, checkpoint or Merkle-proof failure, rendered as the log library does
    UnknownLog,            // no policy log has the checkpoint's origin as key name
    MissingLogSignature,   // the note has no line for the log's key
    InvalidLogSignature,   // a line for the log's key does not verify
    UncoveredExtensions,   // an ML-DSA-44 log signature on a checkpoint with extension lines
    QuorumNotMet,          // the counted cosignatures do not satisfy the quorum
    OriginMismatch,        // a consistency check between checkpoints of two different logs
  };

  // `line` counts from 1; 0 stands for a rule about the whole file.
  static WitnessError malformed_policy(uint64_t line, std::string rule);
  static WitnessError malformed_proof(std::string rule);
  static WitnessError library(Error error);
  static WitnessError unknown_log(std::string origin);
  static WitnessError missing_log_signature(std::string name, uint32_t key_id);
  static WitnessError invalid_log_signature(std::string name, uint32_t key_id);
  static WitnessError uncovered_extensions(std::string name, uint32_t key_id);
  static WitnessError quorum_not_met(std::string quorum, uint64_t counted);
  static WitnessError origin_mismatch(std::string older, std::string newer);

  // What the caller has to fix, as the exported error's variant tells it: the policy (a
  // configuration mistake), the input (it is not well formed), or nothing (the input is well
  // formed and did not verify).
  enum class Category : uint8_t { FailedCheck, MalformedPolicy, MalformedInput };

  Kind kind() const { return kind_; }
  Category category() const;
  // The policy line of MalformedPolicy (0 for whole-file rules).
  uint64_t line() const { return kind_ == Kind::MalformedPolicy ? number_ : 0; }

  // The message in the fixed form of this kind.
  std::string render() const;

  friend bool operator==(const WitnessError&, const WitnessError&) = default;

 private:
  WitnessError(Kind kind, std::string text1, std::string text2 = {}, uint64_t number = 0)
      : kind_(kind), text1_(std::move(text1)), text2_(std::move(text2)), number_(number) {}

  Kind kind_;
  std::string text1_;  // rule, origin, key name, quorum, or the rendered library message
  std::string text2_;
  uint64_t number_;    // line, key id, count, or the log library error's kind
};

template <class T>
using WitnessResult = std::expected<T, WitnessError>;

}  // namespace quorvantile_log::witness
