// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Interface-description objects of the records, enumerations, error and namespace.
#include "ffi/describe.hpp"
#include "ffi/namespace.hpp"

namespace {

using namespace quorvantile_log::ffi::meta;
using Ns = quorvantile_log::ffi::ns::quorvantile_log;
constexpr std::string_view kModule = Ns::module_path;

constexpr Buf kCheckpointHead = checkpoint_head_record<Ns>();

constexpr Buf kSearchResult = record<Ns>(
    "SearchResult",
    {{"present", type(kBool), "Whether the label has a value at the searched version."},
     {"value", optional_of(sequence_of(type(kU8))), "The committed value, when present."}},
    "The outcome of a key-transparency search or fixed-version lookup.");

constexpr Buf kPolicyPosture = record<Ns>(
    "PolicyPosture",
    {{"namespace", type(kString), "The namespace the policy governs."},
     {"policy_schema_version", type(kU32), "The policy record's schema version."},
     {"security_level", enum_type(kModule, "SecurityLevel"), "The declared security level."},
     {"checkpoint_suite", enum_type(kModule, "CheckpointSuite"), "The suite that signs checkpoints."},
     {"commitment_hash", enum_type(kModule, "CommitmentHash"), "The hash used for value commitments."},
     {"vrf_mode", enum_type(kModule, "VrfMode"), "How directory indices are derived."},
     {"directory_mode", enum_type(kModule, "DirectoryMode"), "The directory backend."},
     {"keytrans_suite", enum_type(kModule, "KeytransSuite"), "The key-transparency cipher suite."},
     {"effective_from", type(kU64), "When the policy takes effect (milliseconds since the epoch)."},
     {"created_at", type(kU64), "When the policy was created (milliseconds since the epoch)."},
     {"policy_hash", sequence_of(type(kU8)), "The 64-byte canonical hash of the policy record."},
     {"rfc6962_leaf_hash", sequence_of(type(kU8)), "The RFC 6962 leaf hash of the policy record."}},
    "The posture a verified namespace policy declares.");

constexpr Buf kCheckpointSuite = enumeration<Ns>(
    "CheckpointSuite", 0,
    {{"Hybrid", "Ed25519 paired with ML-DSA."},
     {"HybridMatched", "A classical scheme of matching strength paired with ML-DSA."},
     {"PureCnsa2", "ML-DSA-87 alone."}},
    "The signature suite that signs a log's checkpoints.");

constexpr Buf kCommitmentHash = enumeration<Ns>(
    "CommitmentHash", 0, {{"Sha3_256", "SHA3-256 commitments."}, {"Sha3_512", "SHA3-512 commitments."}},
    "The hash function of value commitments.");

constexpr Buf kDirectoryMode = enumeration<Ns>(
    "DirectoryMode", 0,
    {{"Coniks", "A CONIKS sparse Merkle tree directory."},
     {"Keytrans", "A key-transparency prefix-tree and log-tree directory."}},
    "The kind of key directory a namespace uses.");

constexpr Buf kKeytransSuite = enumeration<Ns>(
    "KeytransSuite", 0,
    {{"QuorvantileHybridExp", "The experimental hybrid suite."},
     {"Kt128Sha256Ed25519", "128-bit security, SHA-256, ECVRF over edwards25519."},
     {"Kt128Sha256P256", "128-bit security, SHA-256, ECVRF over P-256."}},
    "The key-transparency cipher suite.");

constexpr Buf kSecurityLevel = enumeration<Ns>(
    "SecurityLevel", 0, {{"Cat3", "NIST security category 3."}, {"Cat5", "NIST security category 5."}},
    "The security category a namespace requires.");

constexpr Buf kVrfMode = enumeration<Ns>(
    "VrfMode", 0,
    {{"Classical", "Indices from a classical ECVRF."},
     {"HybridOutput", "Indices from a classical ECVRF combined with a post-quantum output."},
     {"PurePqExperimental", "Indices from an experimental post-quantum construction."}},
    "How a directory derives its indices.");

constexpr Buf kVerifyError =
    error_enumeration<Ns>("The verification failed; the message says why.", "The error of every verification function.");

constexpr Buf kNamespaceRecord = namespace_record<Ns>();

}  // namespace

QV_DESCRIPTION(UNIFFI_META_QUORVANTILE_LOG_RECORD_CHECKPOINTHEAD, kCheckpointHead)
QV_DESCRIPTION(UNIFFI_META_QUORVANTILE_LOG_RECORD_SEARCHRESULT, kSearchResult)
QV_DESCRIPTION(UNIFFI_META_QUORVANTILE_LOG_RECORD_POLICYPOSTURE, kPolicyPosture)
QV_DESCRIPTION(UNIFFI_META_QUORVANTILE_LOG_ENUM_CHECKPOINTSUITE, kCheckpointSuite)
QV_DESCRIPTION(UNIFFI_META_QUORVANTILE_LOG_ENUM_COMMITMENTHASH, kCommitmentHash)
QV_DESCRIPTION(UNIFFI_META_QUORVANTILE_LOG_ENUM_DIRECTORYMODE, kDirectoryMode)
QV_DESCRIPTION(UNIFFI_META_QUORVANTILE_LOG_ENUM_KEYTRANSSUITE, kKeytransSuite)
QV_DESCRIPTION(UNIFFI_META_QUORVANTILE_LOG_ENUM_SECURITYLEVEL, kSecurityLevel)
QV_DESCRIPTION(UNIFFI_META_QUORVANTILE_LOG_ENUM_VRFMODE, kVrfMode)
QV_DESCRIPTION(UNIFFI_META_QUORVANTILE_LOG_ERROR_VERIFYERROR, kVerifyError)
QV_DESCRIPTION(UNIFFI_META_NAMESPACE_QUORVANTILE_LOG, kNamespaceRecord)
