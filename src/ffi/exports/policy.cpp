// Exports of signed-policy verification and posture enforcement.
#include "ffi/declare.hpp"
#include "policy/operations.hpp"

QV_EXPORT(signed_policy_verify, SIGNED_POLICY_VERIFY, PolicyPostureResult, ::quorvantile_log::policy::signed_policy_verify,
          "Parses and verifies a signed namespace-policy envelope and returns the posture it declares, "
          "with the policy hash (SHA3-512 under the policy's context label) and the RFC 6962 leaf hash "
          "of the canonical record.",
          (envelope, Bytes, "The signed namespace-policy envelope."))

QV_EXPORT(policy_enforce_checkpoint_signature, POLICY_ENFORCE_CHECKPOINT_SIGNATURE, Void,
          ::quorvantile_log::policy::enforce_checkpoint_signature,
          "Verifies the signed policy, then checks that the framed checkpoint signature token `signature` "
          "has the checkpoint suite and security level the policy declares (framing and length only).",
          (envelope, Bytes, "The signed namespace-policy envelope."),
          (signature, String, "The checkpoint signature token observed: base64 whose first decoded byte is the "
           "scheme tag."))

QV_EXPORT(policy_enforce_checkpoint_signing_key, POLICY_ENFORCE_CHECKPOINT_SIGNING_KEY, Void,
          ::quorvantile_log::policy::enforce_checkpoint_signing_key,
          "Verifies the signed policy, then checks that the framed checkpoint public-key token "
          "`public_key` has the checkpoint suite and security level the policy declares.",
          (envelope, Bytes, "The signed namespace-policy envelope."),
          (public_key, String, "The checkpoint public-key token observed: base64 whose first decoded byte is the "
           "scheme tag."))

QV_EXPORT(policy_enforce_commitment_hash, POLICY_ENFORCE_COMMITMENT_HASH, Void,
          ::quorvantile_log::policy::enforce_commitment_hash,
          "Verifies the signed policy, then checks that the observed commitment hash is the declared one.",
          (envelope, Bytes, "The signed namespace-policy envelope."),
          (observed, CommitmentHashArg, "The commitment hash observed in use."))

QV_EXPORT(policy_enforce_directory_backend, POLICY_ENFORCE_DIRECTORY_BACKEND, Void,
          ::quorvantile_log::policy::enforce_directory_backend,
          "Verifies the signed policy, then checks the observed directory backend id against the "
          "declared directory mode (0x0001 for Coniks, 0xf004 for Keytrans).",
          (envelope, Bytes, "The signed namespace-policy envelope."),
          (observed_backend_id, U16, "The directory backend id observed: 0x0001 for CONIKS, 0xF004 for key "
           "transparency."))

QV_EXPORT(policy_enforce_vrf_suite_id, POLICY_ENFORCE_VRF_SUITE_ID, Void, ::quorvantile_log::policy::enforce_vrf_suite_id,
          "Verifies the signed policy, then checks the observed VRF suite id against the declared VRF "
          "mode (Classical: suite 0x03).",
          (envelope, Bytes, "The signed namespace-policy envelope."),
          (observed_suite_id, U8, "The VRF suite id observed."))
