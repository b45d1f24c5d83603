// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Exports of the key-transparency verifiers.
#include "ffi/declare.hpp"
#include "keytrans/ext/exports.hpp"

// The arguments every key-transparency verifier ends with.
#define QV_KEYTRANS_PROOF_ARGS                                                                                 \
  (context, String, "The caller's context text; only the experimental suite's commitments use it."),           \
      (vrf_public, Bytes, "The directory's VRF public key, as the suite's VRF encodes it."),                    \
      (root, Bytes, "The combined root hash the proof must reach."),                                           \
      (label, Bytes, "The label (search key) whose entries the proof is about."),                              \
      (proof, Bytes, "The encoded key-transparency proof.")

QV_EXPORT(keytrans_verify_search, KEYTRANS_VERIFY_SEARCH, SearchResultResult, ::quorvantile_log::keytrans::verify_search,
          "Verifies a key-transparency search proof for `label` under the combined root `root` with the "
          "experimental default suite, and returns whether the label is present and its greatest "
          "version's value.",
          QV_KEYTRANS_PROOF_ARGS)

QV_EXPORT(keytrans_verify_search_suite, KEYTRANS_VERIFY_SEARCH_SUITE, SearchResultResult,
          ::quorvantile_log::keytrans::verify_search_suite,
          "Verifies a key-transparency search proof under the suite `suite_id` (0x0001, 0x0002 or 0xF000).",
          (suite_id, U16, "The cipher suite: 0x0001, 0x0002 or 0xF000."),
          QV_KEYTRANS_PROOF_ARGS)

QV_EXPORT(keytrans_verify_monitor, KEYTRANS_VERIFY_MONITOR, Void, ::quorvantile_log::keytrans::verify_monitor,
          "Verifies a key-transparency monitoring proof: every version on the monitoring ladder of the "
          "proof's version is included under `root` (experimental default suite).",
          QV_KEYTRANS_PROOF_ARGS)

QV_EXPORT(keytrans_verify_monitor_suite, KEYTRANS_VERIFY_MONITOR_SUITE, Void,
          ::quorvantile_log::keytrans::verify_monitor_suite,
          "Verifies a key-transparency monitoring proof under the suite `suite_id` (0x0001, 0x0002 or 0xF000).",
          (suite_id, U16, "The cipher suite: 0x0001, 0x0002 or 0xF000."),
          QV_KEYTRANS_PROOF_ARGS)

QV_EXPORT(keytrans_verify_fixed_version, KEYTRANS_VERIFY_FIXED_VERSION, SearchResultResult,
          ::quorvantile_log::keytrans::verify_fixed_version,
          "Verifies a key-transparency fixed-version proof under `root` (experimental default suite) and "
          "returns whether the proof's version is present and its value.",
          QV_KEYTRANS_PROOF_ARGS)

QV_EXPORT(keytrans_verify_fixed_version_suite, KEYTRANS_VERIFY_FIXED_VERSION_SUITE, SearchResultResult,
          ::quorvantile_log::keytrans::verify_fixed_version_suite,
          "Verifies a key-transparency fixed-version proof under the suite `suite_id` (0x0001, 0x0002 or 0xF000).",
          (suite_id, U16, "The cipher suite: 0x0001, 0x0002 or 0xF000."),
          QV_KEYTRANS_PROOF_ARGS)
