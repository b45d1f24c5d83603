// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The label under which a policy record is signed and hashed.
#include "leaf/context_label.hpp"
#include "policy/namespace_policy.hpp"

namespace quorvantile_log::policy {

Result<std::string> NamespacePolicy::context_label() const {
  const char* version = directory_mode == DirectoryMode::Keytrans ? "2" : "1";
  auto label = ContextLabel::parse(signer_name() + "/v" + version);
  if (!label) return std::unexpected(std::move(label.error()));
  return std::move(label->label);
}

}  // namespace quorvantile_log::policy
