// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The envelope's framed signature over the canonical record bytes, under the context label.
#include "encoding/base64.hpp"
#include "policy/namespace_policy.hpp"
#include "quorvantile_crypto/sign.hpp"

namespace quorvantile_log::policy {

Result<void> SignedPolicy::verify() const {
  const auto label = policy.context_label();
  if (!label) return std::unexpected(label.error());
  const Bytes message = policy.canonical_bytes();
  // The scheme comes from the framing inside the tokens; the verifier's own error (an unknown
  // tag, say) is as much a failed check as a signature that does not hold.
  const auto verified = quorvantile_crypto::verify(message, quorvantile_crypto::as_bytes(*label),
                                                   encoding::base64_encode(signature),
                                                   encoding::base64_encode(public_key));
  if (!verified || !*verified) return std::unexpected(Error::invalid_signature(policy.signer_name(), 0));
  return {};
}

Result<NamespacePolicy> verified_policy(ByteView envelope) {
  auto signed_policy = SignedPolicy::parse(envelope);
  if (!signed_policy) return std::unexpected(std::move(signed_policy.error()));
  const auto verified = signed_policy->verify();
  if (!verified) return std::unexpected(verified.error());
  return std::move(signed_policy->policy);
}

}  // namespace quorvantile_log::policy
