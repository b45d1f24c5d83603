// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
#include "vrf/vrf.hpp"

namespace quorvantile_log::vrf {
namespace {

class EachProof final : public KeyedVerification {
 public:
  EachProof(const Vrf& vrf, ByteView public_key) : vrf_(vrf), public_key_(public_key) {}
  Result<Verification> verify(ByteView alpha, ByteView proof) const override {
    return vrf_.verify(public_key_, alpha, proof);
  }

 private:
  const Vrf& vrf_;
  ByteView public_key_;
};

}  // namespace

std::unique_ptr<KeyedVerification> Vrf::keyed(ByteView public_key) const {
  return std::make_unique<EachProof>(*this, public_key);
}

}  // namespace quorvantile_log::vrf
