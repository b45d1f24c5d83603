#pragma once
// The witness component's exports are declared through the same one-declaration machinery as
// the log library's, in the namespace quorvantile_witness; its work operations report
// WitnessError, which becomes the exported error WitnessError: the rendered message in the
// variant of its category (the variant numbers of the description in descriptions.cpp).
#include "ffi/declare.hpp"
#include "ffi/witness_exports/namespace.hpp"
#include "ffi/witness_exports/types.hpp"
#include "witness/witness_error.hpp"

namespace quorvantile_log::ffi {

template <>
struct ExportedError<witness::WitnessError> {
  static VerifyError from(const witness::WitnessError& error) { return {error.render(), variant(error.category())}; }

  static int32_t variant(witness::WitnessError::Category category) {
    switch (category) {
      case witness::WitnessError::Category::FailedCheck:
        return 1;
      case witness::WitnessError::Category::MalformedPolicy:
        return 2;
      case witness::WitnessError::Category::MalformedInput:
        return 3;
    }
    return 1;
  }
};

}  // namespace quorvantile_log::ffi

#define QV_WITNESS_EXPORT(...) QV_EXPORT_IN(quorvantile_witness, QUORVANTILE_WITNESS, __VA_ARGS__)
