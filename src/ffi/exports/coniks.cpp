// Exports of the CONIKS directory proofs.
#include "coniks/verify.hpp"
#include "ffi/declare.hpp"

QV_EXPORT(coniks_verify_lookup, CONIKS_VERIFY_LOOKUP, Bytes, ::quorvantile_log::coniks::coniks_verify_lookup,
          "Verifies a CONIKS presence proof: the ECVRF proof gives the identity's leaf index under "
          "`vrf_public`, and the committed value at that leaf with the authentication path hashes to the "
          "64-byte directory `root` of `namespace`. Returns the proven value.",
          (namespace, String, "The directory's namespace name."),
          (vrf_public, Bytes, "The directory's 32-byte ECVRF-EDWARDS25519-SHA512-TAI public key."),
          (root, Bytes, "The 64-byte directory root hash."),
          (identity, Bytes, "The identity looked up, as bytes."),
          (proof, Bytes, "The encoded CONIKS proof: the VRF proof, then the leaf and its authentication path."))

QV_EXPORT(coniks_verify_absence, CONIKS_VERIFY_ABSENCE, Void, ::quorvantile_log::coniks::coniks_verify_absence,
          "Verifies a CONIKS absence proof: the identity's leaf slot, located by the ECVRF proof under "
          "`vrf_public`, holds the empty leaf under the 64-byte directory `root` of `namespace`.",
          (namespace, String, "The directory's namespace name."),
          (vrf_public, Bytes, "The directory's 32-byte ECVRF-EDWARDS25519-SHA512-TAI public key."),
          (root, Bytes, "The 64-byte directory root hash."),
          (identity, Bytes, "The identity looked up, as bytes."),
          (proof, Bytes, "The encoded CONIKS proof: the VRF proof, then the leaf and its authentication path."))
