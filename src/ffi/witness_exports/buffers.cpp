// Buffer management and the contract version of the quorvantile_witness namespace.
#include "quorvantile_witness.h"
#include "ffi/buffer_exports.hpp"

QV_BUFFER_EXPORTS(quorvantile_witness)
