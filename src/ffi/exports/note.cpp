// Export of signed-note verification.
#include "ffi/declare.hpp"
#include "note/verify_signed_note.hpp"

QV_EXPORT(verify_signed_note, VERIFY_SIGNED_NOTE, U32, ::quorvantile_log::note::verify_signed_note,
          "Verifies a signed note against the trusted verifier keys `vkeys` and returns the number of "
          "signature lines that verified (at least 1). Keys are parsed first; a signature line from a "
          "trusted key that fails is an error, lines from unknown keys are ignored.",
          (note_text, String, "The signed note: its text, a blank line, then one signature line per signer."),
          (vkeys, StringList, "The trusted verifier keys, one text each: key name, '+', the 8-hex-digit key id, '+', "
           "base64 of the key type byte and key."))
