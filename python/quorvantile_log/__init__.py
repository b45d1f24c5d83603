"""Verification of transparency logs, signed notes and checkpoints through libquorvantile_log.

Every function raises ``VerifyError.Verification`` (with the library's message) when its input
does not verify, and ``InternalError`` when the library reports an unexpected failure. Importing
the package refuses a library that differs from the one the bindings were generated from.

Above the generated functions: ``leaf_hash`` (RFC 6962), ``checkpoint_verify(..., origin=...)``
(also pins the log) and ``verify_logged_policy`` (a signed policy proven included in a log).
"""
from ._ffi import LibraryMismatchError as _Mismatch
from ._ffi import LibraryNotFoundError as _NotFound

__version__ = "0.1.0"

try:
    from ._bindings import *  # noqa: F401,F403
    from ._bindings import __all__ as _generated
except (_Mismatch, _NotFound):
    # The command line imports this package before it runs: it reports the library itself (with
    # --json if asked) and still answers --help and --version.
    from .cli import started_as_command_line
    if not started_as_command_line():
        raise
    __all__ = []
else:
    from .helpers import checkpoint_verify, leaf_hash, verify_logged_policy  # noqa: F401
    __all__ = [*_generated, "leaf_hash", "verify_logged_policy"]
