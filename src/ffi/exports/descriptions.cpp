// Interface-description objects of the records, enumerations, error and namespace.
#include <initializer_list>

#include "ffi/declare.hpp"

namespace {

using namespace quorvantile_log::ffi::meta;

struct Field {
  std::string_view name;
  Buf type;
  std::string_view doc;
};

struct Variant {
  std::string_view name;
  std::string_view doc;
};

// kind 0x02, path, name, 0x00, field count, fields (name, 0x00, type, 0x00, doc), doc.
constexpr Buf record(std::string_view name, std::initializer_list<Field> fields, std::string_view doc) {
  Buf b;
  b.byte(0x02).short_string(kModulePath).short_string(name).byte(0x00).byte(static_cast<uint8_t>(fields.size()));
  for (const Field& f : fields) b.short_string(f.name).byte(0x00).raw(f.type).byte(0x00).doc(f.doc);
  return b.doc(doc);
}

// kind 0x03, path, name, 0x00, shape, discriminant flag 0, variant count, variants, non-exhaustive
// flag 0, doc. Shape 0 variants end in three zero bytes, shape 2 (error) variants in one.
constexpr Buf enumeration(std::string_view name, uint8_t shape, std::initializer_list<Variant> variants,
                          std::string_view doc) {
  Buf b;
  b.byte(0x03).short_string(kModulePath).short_string(name).byte(0x00).byte(shape).byte(0x00);
  b.byte(static_cast<uint8_t>(variants.size()));
  for (const Variant& v : variants) {
    b.short_string(v.name);
    if (shape == 0) b.byte(0x00).byte(0x00).byte(0x00);
    else b.byte(0x00);
    b.doc(v.doc);
  }
  return b.byte(0x00).doc(doc);
}

constexpr Buf kCheckpointHead = record(
    "CheckpointHead",
    {{"origin", type(kString), "The log's origin line."},
     {"size", type(kU64), "The tree size: the number of leaves."},
     {"root", sequence_of(type(kU8)), "The 32-byte RFC 6962 root hash."},
     {"extensions", sequence_of(type(kString)), "The extension lines after the root hash, in order."}},
    "The head of a transparency log as stated by a checkpoint body.");

constexpr Buf kSearchResult = record(
    "SearchResult",
    {{"present", type(kBool), "Whether the label has a value at the searched version."},
     {"value", optional_of(sequence_of(type(kU8))), "The committed value, when present."}},
    "The outcome of a key-transparency search or fixed-version lookup.");

constexpr Buf kPolicyPosture = record(
    "PolicyPosture",
    {{"namespace", type(kString), "The namespace the policy governs."},
     {"policy_schema_version", type(kU32), "The policy record's schema version."},
     {"security_level", enum_type("SecurityLevel"), "The declared security level."},
     {"checkpoint_suite", enum_type("CheckpointSuite"), "The suite that signs checkpoints."},
     {"commitment_hash", enum_type("CommitmentHash"), "The hash used for value commitments."},
     {"vrf_mode", enum_type("VrfMode"), "How directory indices are derived."},
     {"directory_mode", enum_type("DirectoryMode"), "The directory backend."},
     {"keytrans_suite", enum_type("KeytransSuite"), "The key-transparency cipher suite."},
     {"effective_from", type(kU64), "When the policy takes effect (milliseconds since the epoch)."},
     {"created_at", type(kU64), "When the policy was created (milliseconds since the epoch)."},
     {"policy_hash", sequence_of(type(kU8)), "The 64-byte canonical hash of the policy record."},
     {"rfc6962_leaf_hash", sequence_of(type(kU8)), "The RFC 6962 leaf hash of the policy record."}},
    "The posture a verified namespace policy declares.");

constexpr Buf kCheckpointSuite = enumeration(
    "CheckpointSuite", 0,
    {{"Hybrid", "Ed25519 paired with ML-DSA."},
     {"HybridMatched", "A classical scheme of matching strength paired with ML-DSA."},
     {"PureCnsa2", "ML-DSA-87 alone."}},
    "The signature suite that signs a log's checkpoints.");

constexpr Buf kCommitmentHash = enumeration(
    "CommitmentHash", 0, {{"Sha3_256", "SHA3-256 commitments."}, {"Sha3_512", "SHA3-512 commitments."}},
    "The hash function of value commitments.");

constexpr Buf kDirectoryMode = enumeration(
    "DirectoryMode", 0,
    {{"Coniks", "A CONIKS sparse Merkle tree directory."},
     {"Keytrans", "A key-transparency prefix-tree and log-tree directory."}},
    "The kind of key directory a namespace uses.");

constexpr Buf kKeytransSuite = enumeration(
    "KeytransSuite", 0,
    {{"QuorvantileHybridExp", "The experimental hybrid suite."},
     {"Kt128Sha256Ed25519", "128-bit security, SHA-256, ECVRF over edwards25519."},
     {"Kt128Sha256P256", "128-bit security, SHA-256, ECVRF over P-256."}},
    "The key-transparency cipher suite.");

constexpr Buf kSecurityLevel = enumeration(
    "SecurityLevel", 0, {{"Cat3", "NIST security category 3."}, {"Cat5", "NIST security category 5."}},
    "The security category a namespace requires.");

constexpr Buf kVrfMode = enumeration(
    "VrfMode", 0,
    {{"Classical", "Indices from a classical ECVRF."},
     {"HybridOutput", "Indices from a classical ECVRF combined with a post-quantum output."},
     {"PurePqExperimental", "Indices from an experimental post-quantum construction."}},
    "How a directory derives its indices.");

constexpr Buf kVerifyError = enumeration(
    "VerifyError", 2, {{"Verification", "The verification failed; the message says why."}},
    "The error of every verification function.");

constexpr Buf kNamespaceRecord = Buf{}.byte(0x06).short_string(kNamespace).short_string(kNamespace);

}  // namespace

#define QV_DESCRIPTION(SYMBOL, buf)                                         \
  extern "C" QV_API const std::array<uint8_t, buf.len> SYMBOL;              \
  const std::array<uint8_t, buf.len> SYMBOL = to_array<buf.len>(buf);

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
