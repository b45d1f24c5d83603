// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Buffer management and the contract version, exported by every interface namespace under its own
// prefix: QV_BUFFER_EXPORTS(ns) defines ffi_<ns>_rustbuffer_{alloc,from_bytes,free,reserve} and
// ffi_<ns>_uniffi_contract_version. The bodies are shared; only the symbol names differ.
#include "ffi/abi.hpp"

namespace quorvantile_log::ffi::buffer_calls {

RustBuffer alloc(uint64_t size, RustCallStatus* status) noexcept;
RustBuffer from_bytes(ForeignBytes bytes, RustCallStatus* status) noexcept;
void release(RustBuffer buf, RustCallStatus* status) noexcept;
RustBuffer reserve(RustBuffer buf, uint64_t additional, RustCallStatus* status) noexcept;

}  // namespace quorvantile_log::ffi::buffer_calls

#define QV_BUFFER_EXPORTS(ns_name)                                                                          \
  extern "C" QV_API RustBuffer ffi_##ns_name##_rustbuffer_alloc(uint64_t size, RustCallStatus* status) {     \
    return ::quorvantile_log::ffi::buffer_calls::alloc(size, status);                                        \
  }                                                                                                          \
  extern "C" QV_API RustBuffer ffi_##ns_name##_rustbuffer_from_bytes(ForeignBytes bytes,                     \
                                                                     RustCallStatus* status) {               \
    return ::quorvantile_log::ffi::buffer_calls::from_bytes(bytes, status);                                  \
  }                                                                                                          \
  extern "C" QV_API void ffi_##ns_name##_rustbuffer_free(RustBuffer buf, RustCallStatus* status) {           \
    ::quorvantile_log::ffi::buffer_calls::release(buf, status);                                                 \
  }                                                                                                          \
  extern "C" QV_API RustBuffer ffi_##ns_name##_rustbuffer_reserve(RustBuffer buf, uint64_t additional,       \
                                                                  RustCallStatus* status) {                  \
    return ::quorvantile_log::ffi::buffer_calls::reserve(buf, additional, status);                           \
  }                                                                                                          \
  extern "C" QV_API uint32_t ffi_##ns_name##_uniffi_contract_version(void) {                                 \
    return ::quorvantile_log::ffi::kContractVersion;                                                          \
  }
