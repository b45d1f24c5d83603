// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Runs a test once per edwards25519 arithmetic backend; a backend the CPU lacks is skipped with a
// message naming it, never silently.
#include <gtest/gtest.h>

#include <string>

#include "quorvantile_crypto/ed25519.hpp"

namespace qv_test {

class Ed25519Backends : public ::testing::TestWithParam<quorvantile_crypto::ed25519::Backend> {
 protected:
  void SetUp() override {
    if (!quorvantile_crypto::ed25519::backend_available(GetParam()))
      GTEST_SKIP() << "this CPU lacks AVX-512F/VL/IFMA: the IFMA backend was not run";
  }
  quorvantile_crypto::ed25519::Backend backend() const { return GetParam(); }
};

inline std::string ed25519_backend_name(const ::testing::TestParamInfo<quorvantile_crypto::ed25519::Backend>& info) {
  return info.param == quorvantile_crypto::ed25519::Backend::Ifma ? "Ifma" : "Portable";
}

}  // namespace qv_test

#define QV_ED25519_ALL_BACKENDS(suite)                                                                        \
  INSTANTIATE_TEST_SUITE_P(, suite,                                                                           \
                           ::testing::Values(quorvantile_crypto::ed25519::Backend::Portable,                  \
                                             quorvantile_crypto::ed25519::Backend::Ifma),                     \
                           qv_test::ed25519_backend_name)
