// Export of the value-commitment check.
#include "commitment/verify_commitment.hpp"
#include "ffi/declare.hpp"

QV_EXPORT(verify_commitment, VERIFY_COMMITMENT, Void, ::quorvantile_log::commitment::verify_commitment,
          "Verifies that the 64-byte `commitment` opens to `value` under the 32-byte `opening`: it must "
          "equal SHA3-512 with context `context` over the opening followed by the value.",
          (context, String, "The context label the commitment was made under."),
          (commitment, Bytes, "The 64-byte commitment."),
          (value, Bytes, "The claimed value, of any length."),
          (opening, Bytes, "The 32-byte opening that was committed to together with the value."))
