// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The CONIKS exports through the C interface on the bundled directory proofs.
#include <gtest/gtest.h>

#include "abi_support.hpp"
#include "test_support.hpp"

namespace qv_abi {
namespace {

using qv_test::from_hex;

struct Call {
  std::string ns;
  Bytes vrf_public, root, identity, proof;
};

std::string outcome(RustCallStatus& status) {
  return status.code == 0 ? "ok" : std::to_string(status.code) + " " + status_message(status);
}

std::string lookup(const Call& c, Bytes* value = nullptr) {
  RustCallStatus status{};
  RustBuffer out = uniffi_quorvantile_log_fn_func_coniks_verify_lookup(
      string_arg(c.ns), bytes_arg(c.vrf_public), bytes_arg(c.root), bytes_arg(c.identity), bytes_arg(c.proof), &status);
  if (status.code == 0) {
    const Bytes raw = take(out);
    if (value) *value = Bytes(raw.begin() + 4, raw.end());
  }
  return outcome(status);
}

std::string absence(const Call& c) {
  RustCallStatus status{};
  uniffi_quorvantile_log_fn_func_coniks_verify_absence(string_arg(c.ns), bytes_arg(c.vrf_public), bytes_arg(c.root),
                                                       bytes_arg(c.identity), bytes_arg(c.proof), &status);
  return outcome(status);
}

class ConiksAbi : public ::testing::Test {
 protected:
  void SetUp() override {
    j_ = qv_test::read_json(qv_test::data_dir() / "coniks" / "proofs.json");
    base_ = {j_["namespace"], from_hex(j_["vrf_public"].get<std::string>()), from_hex(j_["root"].get<std::string>()), {}, {}};
  }
  Call with(const nlohmann::json& c) const {
    Call out = base_;
    out.identity = from_hex(c["identity"].get<std::string>());
    out.proof = from_hex(c["proof"].get<std::string>());
    return out;
  }
  nlohmann::json j_;
  Call base_;
};

TEST_F(ConiksAbi, BundledProofsVerifyAndTamperedOnesFail) {
  for (const auto& c : j_["lookups"]) {
    Call call = with(c);
    Bytes value;
    EXPECT_EQ(lookup(call, &value), "ok");
    EXPECT_EQ(value, from_hex(c["value"].get<std::string>()));
    call.proof[call.proof.size() - 1] ^= 1;
    EXPECT_EQ(lookup(call), "1 coniks proof root mismatch: recomputed directory root does not match the expected root");
    call.proof.back() ^= 1;
    EXPECT_EQ(absence(call), "1 malformed coniks proof: expected absence tag 0x00, got 0x01");
  }
  for (const auto& c : j_["absences"]) {
    Call call = with(c);
    EXPECT_EQ(absence(call), "ok");
    call.root.resize(63);
    EXPECT_EQ(absence(call), "1 coniks root must be exactly 64 bytes");
    EXPECT_EQ(lookup(with(c)), "1 malformed coniks proof: expected presence tag 0x01, got 0x00");
  }
}

TEST_F(ConiksAbi, LiftingFailuresNameTheArgument) {
  const Call c = with(j_["lookups"][0]);
  RustCallStatus status{};
  uniffi_quorvantile_log_fn_func_coniks_verify_lookup(string_arg(c.ns), bytes_arg(c.vrf_public), bytes_arg(c.root),
                                                      bytes_arg(c.identity), buffer(Bytes{0, 0, 1, 0}), &status);
  const std::string got = outcome(status);
  EXPECT_EQ(got.rfind("2 Failed to convert arg 'proof':\n", 0), 0u) << got;
  uniffi_quorvantile_log_fn_func_coniks_verify_absence(string_arg(c.ns), buffer(Bytes{1}), bytes_arg(c.root),
                                                       bytes_arg(c.identity), bytes_arg(c.proof), &status);
  const std::string got2 = outcome(status);
  EXPECT_EQ(got2.rfind("2 Failed to convert arg 'vrf_public':\n", 0), 0u) << got2;
}

}  // namespace
}  // namespace qv_abi
