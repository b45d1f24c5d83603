// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "vrf/os_random.hpp"

#include <sys/random.h>

#include <cerrno>
#include <stdexcept>

namespace quorvantile_log::vrf {

void fill_from_os_random(std::span<uint8_t> out) {
  std::size_t filled = 0;
  while (filled < out.size()) {
    const ssize_t got = getrandom(out.data() + filled, out.size() - filled, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error("OS CSPRNG unavailable");
    }
    filled += static_cast<std::size_t>(got);
  }
}

}  // namespace quorvantile_log::vrf
