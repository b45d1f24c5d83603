#include "witness/witness_error.hpp"

#include <utility>

#include "encoding/key_id_hex.hpp"

namespace quorvantile_log::witness {

WitnessError WitnessError::malformed_policy(uint64_t line, std::string rule) {
  return WitnessError(Kind::MalformedPolicy, std::move(rule), {}, line);
}
WitnessError WitnessError::malformed_proof(std::string rule) { return WitnessError(Kind::MalformedProof, std::move(rule)); }
WitnessError WitnessError::library(Error error) {
  return WitnessError(Kind::Library, error.render(), {}, static_cast<uint64_t>(error.kind()));
}
WitnessError WitnessError::unknown_log(std::string origin) { return WitnessError(Kind::UnknownLog, std::move(origin)); }
WitnessError WitnessError::missing_log_signature(std::string name, uint32_t key_id) {
  return WitnessError(Kind::MissingLogSignature, std::move(name), {}, key_id);
}
WitnessError WitnessError::invalid_log_signature(std::string name, uint32_t key_id) {
  return WitnessError(Kind::InvalidLogSignature, std::move(name), {}, key_id);
}
WitnessError WitnessError::uncovered_extensions(std::string name, uint32_t key_id) {
  return WitnessError(Kind::UncoveredExtensions, std::move(name), {}, key_id);
}
WitnessError WitnessError::quorum_not_met(std::string quorum, uint64_t counted) {
  return WitnessError(Kind::QuorumNotMet, std::move(quorum), {}, counted);
}
WitnessError WitnessError::origin_mismatch(std::string older, std::string newer) {
  return WitnessError(Kind::OriginMismatch, std::move(older), std::move(newer));
}

namespace {

// Log library failures that say the input is not well formed, as opposed to a well-formed
// input that does not verify.
bool is_malformed_input(Error::Kind kind) {
  switch (kind) {
    case Error::Kind::MalformedLeaf:
    case Error::Kind::MalformedCheckpoint:
    case Error::Kind::MalformedNote:
    case Error::Kind::MalformedNamespace:
    case Error::Kind::MalformedConiksProof:
    case Error::Kind::MalformedPolicy:
    case Error::Kind::MalformedKeytrans:
    case Error::Kind::InvalidHashLength:
      return true;
    default:
      return false;
  }
}

}  // namespace

WitnessError::Category WitnessError::category() const {
  switch (kind_) {
    case Kind::MalformedPolicy:
      return Category::MalformedPolicy;
    case Kind::MalformedProof:
      return Category::MalformedInput;
    case Kind::Library:
      return is_malformed_input(static_cast<Error::Kind>(number_)) ? Category::MalformedInput : Category::FailedCheck;
    case Kind::UnknownLog:
    case Kind::MissingLogSignature:
    case Kind::InvalidLogSignature:
    case Kind::UncoveredExtensions:
    case Kind::QuorumNotMet:
    case Kind::OriginMismatch:
      return Category::FailedCheck;
  }
  return Category::FailedCheck;
}

std::string WitnessError::render() const {
  const auto key = [&] { return quote(text1_) + " (key id " + encoding::hex8(static_cast<uint32_t>(number_)) + ")"; };
  switch (kind_) {
    case Kind::MalformedPolicy:
      return number_ == 0 ? "policy: " + text1_ : "policy line " + std::to_string(number_) + ": " + text1_;
    case Kind::MalformedProof:
      return "malformed tlog proof: " + text1_;
    case Kind::Library:
      return text1_;
    case Kind::UnknownLog:
      return "no log in the policy has key name " + quote(text1_);
    case Kind::MissingLogSignature:
      return "checkpoint has no signature from log key " + key();
    case Kind::InvalidLogSignature:
      return "invalid log signature for key " + key();
    case Kind::UncoveredExtensions:
      return "log signature for key " + key() + " does not cover the extension lines";
    case Kind::QuorumNotMet:
      return "witness quorum " + quote(text1_) + " not met: " + std::to_string(number_) +
             (number_ == 1 ? " witness" : " witnesses") + " counted";
    case Kind::OriginMismatch:
      return "checkpoints are from different logs: " + quote(text1_) + " and " + quote(text2_);
  }
  return {};
}

}  // namespace quorvantile_log::witness
