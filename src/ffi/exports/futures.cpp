// The asynchronous call-handle family of the quorvantile_log namespace.
#include "ffi/future_exports.hpp"

QV_FUTURE_EXPORTS(quorvantile_log)
