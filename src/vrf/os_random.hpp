// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The operating system's random source, used only by VRF key generation.
#include <cstdint>
#include <span>

namespace quorvantile_log::vrf {

// Fills `out` from getrandom(2), retrying on interruption and short reads. Throws
// std::runtime_error("OS CSPRNG unavailable") when the source cannot be read.
void fill_from_os_random(std::span<uint8_t> out);

}  // namespace quorvantile_log::vrf
