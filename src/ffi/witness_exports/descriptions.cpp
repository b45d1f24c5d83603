// Interface-description objects of the witness component's records, error and namespace.
#include "ffi/describe.hpp"
#include "ffi/witness_exports/namespace.hpp"

namespace {

using namespace quorvantile_log::ffi::meta;
using Ns = quorvantile_log::ffi::ns::quorvantile_witness;
constexpr std::string_view kModule = Ns::module_path;

constexpr Buf kStrings = sequence_of(type(kString));

constexpr Buf kWitnessGroup = record<Ns>(
    "WitnessGroup",
    {{"name", type(kString), "The group's name in the policy."},
     {"threshold", type(kU64), "How many members must be satisfied: `any` is 1, `all` the member count."},
     {"members", kStrings, "The member witnesses and earlier groups, in policy order."}},
    "A k-of-n group of a witness quorum policy.");

constexpr Buf kWitnessPolicy = record<Ns>(
    "WitnessPolicy",
    {{"log_key_names", kStrings, "The key names of the policy's log keys, in policy order."},
     {"witness_names", kStrings, "The policy's witness names, in policy order."},
     {"groups", sequence_of(record_type(kModule, "WitnessGroup")), "The groups, in policy order."},
     {"quorum", type(kString), "The witness or group the quorum names, or `none`."}},
    "A parsed witness quorum policy.");

constexpr Buf kRejectedWitness = record<Ns>(
    "RejectedWitness",
    {{"name", type(kString), "The witness's name in the policy."},
     {"reason", type(kString), "Why none of its cosignature lines counted."}},
    "A configured witness whose cosignature lines were present but did not count.");

constexpr Buf kCheckpointHead = checkpoint_head_record<Ns>();

constexpr Buf kCosignedCheckpoint = record<Ns>(
    "CosignedCheckpoint",
    {{"checkpoint", record_type(kModule, "CheckpointHead"), "The verified checkpoint."},
     {"log_key_name", type(kString), "The key name of the log key whose signature verified."},
     {"counted_witnesses", kStrings, "The witnesses whose cosignatures counted, in policy order."},
     {"rejected_witnesses", sequence_of(record_type(kModule, "RejectedWitness")),
      "The witnesses whose cosignature lines did not count, with the reason, in policy order."},
     {"oldest_timestamp", optional_of(type(kU64)),
      "The oldest cosignature timestamp that counted (seconds since the epoch); absent when none counted."},
     {"newest_timestamp", optional_of(type(kU64)),
      "The newest cosignature timestamp that counted (seconds since the epoch); absent when none counted."}},
    "A checkpoint whose log signature verified and whose counted cosignatures satisfy the quorum.");

constexpr Buf kTlogProof = record<Ns>(
    "TlogProof",
    {{"index", type(kU64), "The leaf index the inclusion proof is for."},
     {"extra", optional_of(sequence_of(type(kU8))),
      "The bundle's extra data, unauthenticated; absent when the bundle has no extra line."},
     {"checkpoint", record_type(kModule, "CosignedCheckpoint"), "The bundle's verified checkpoint."}},
    "A verified proof bundle: the leaf is included in a checkpoint that satisfies the policy.");

// Variant numbers follow the order here (1, 2, 3); declare.hpp maps each category to its number.
constexpr Buf kWitnessError = enumeration<Ns>(
    Ns::error_name, 2,
    {{"Verification", "The input is well formed and did not verify; the message says why."},
     {"MalformedPolicy", "The witness quorum policy is malformed (a configuration mistake); the message names the "
                         "line and the rule."},
     {"MalformedInput", "A checkpoint note, proof bundle or leaf hash is not well formed; the message says why."}},
    "The error of every witness verification function: what to fix is told by the variant.");

constexpr Buf kNamespaceRecord = namespace_record<Ns>();

}  // namespace

QV_DESCRIPTION(UNIFFI_META_QUORVANTILE_WITNESS_RECORD_WITNESSGROUP, kWitnessGroup)
QV_DESCRIPTION(UNIFFI_META_QUORVANTILE_WITNESS_RECORD_WITNESSPOLICY, kWitnessPolicy)
QV_DESCRIPTION(UNIFFI_META_QUORVANTILE_WITNESS_RECORD_REJECTEDWITNESS, kRejectedWitness)
QV_DESCRIPTION(UNIFFI_META_QUORVANTILE_WITNESS_RECORD_CHECKPOINTHEAD, kCheckpointHead)
QV_DESCRIPTION(UNIFFI_META_QUORVANTILE_WITNESS_RECORD_COSIGNEDCHECKPOINT, kCosignedCheckpoint)
QV_DESCRIPTION(UNIFFI_META_QUORVANTILE_WITNESS_RECORD_TLOGPROOF, kTlogProof)
QV_DESCRIPTION(UNIFFI_META_QUORVANTILE_WITNESS_ERROR_WITNESSERROR, kWitnessError)
QV_DESCRIPTION(UNIFFI_META_NAMESPACE_QUORVANTILE_WITNESS, kNamespaceRecord)
