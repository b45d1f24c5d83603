"""Verification of transparency logs, signed notes and checkpoints through libquorvantile_log.

Every function raises ``VerifyError.Verification`` (with the library's message) when its input
does not verify, and ``InternalError`` when the library reports an unexpected failure; both, and
the witness module's ``WitnessError``, derive from ``Error``, whose ``kind`` names the failure
(``root_mismatch``, ``invalid_signature``, ...). Importing the package refuses a library that
differs from the one the bindings were generated from.
"""
import sys as _sys

from ._ffi import LibraryMismatchError as _Mismatch
from ._ffi import LibraryNotFoundError as _NotFound

try:
    from ._bindings import *  # noqa: F401,F403
    from ._bindings import __all__  # noqa: F401
except (_Mismatch, _NotFound) as _e:
    # `python3 -m quorvantile_log` imports the package first: report like the command line does.
    if _sys.argv[:1] == ["-m"]:
        print(f"error: {_e}", file=_sys.stderr)
        raise SystemExit(2) from None
    raise

__version__ = "0.1.0"
