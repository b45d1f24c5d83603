// Buffer management and the contract version of the quorvantile_log namespace.
#include "ffi/buffer_exports.hpp"

QV_BUFFER_EXPORTS(quorvantile_log)
