"""The foreign-call frame: ABI records, loading and checking the library, and one call.

Argument buffers are created by the library's own allocator and handed to the callee, which
releases them; every result and error buffer is copied out and released here, on every path.
"""
from __future__ import annotations

import ctypes
import os
import struct
from dataclasses import dataclass
from typing import Any, Dict, List, Optional, Sequence, Tuple, Type

from . import _codec



class RustBuffer(ctypes.Structure):
    _fields_ = [("capacity", ctypes.c_uint64), ("len", ctypes.c_uint64), ("data", ctypes.POINTER(ctypes.c_uint8))]


class ForeignBytes(ctypes.Structure):
    _fields_ = [("len", ctypes.c_int32), ("data", ctypes.POINTER(ctypes.c_uint8))]


class RustCallStatus(ctypes.Structure):
    _fields_ = [("code", ctypes.c_int8), ("error_buf", RustBuffer)]


class LibraryNotFoundError(ImportError):
    """The shared library was found nowhere; the message names every place looked at."""


class LibraryMismatchError(ImportError):
    """The shared library is not the one these bindings were generated from."""


_C_TYPES = {"u8": ctypes.c_uint8, "u16": ctypes.c_uint16, "u32": ctypes.c_uint32, "u64": ctypes.c_uint64,
            "bool": ctypes.c_int8}


def _c_type(t: Optional[Tuple]) -> Any:
    if t is None:
        return None
    return _C_TYPES.get(t[0], RustBuffer)


@dataclass(frozen=True)
class FunctionSpec:
    """One exported function as its description record states it."""
    name: str
    arguments: Tuple[Tuple[str, Tuple], ...]
    result: Optional[Tuple]
    error: Type[Exception]
    checksum: int


def library_variable(library: str) -> str:
    """The environment variable naming a library's file: QUORVANTILE_LOG_LIB for quorvantile_log."""
    return library.upper() + "_LIB"


def locate(library: str, soname: str, package_dir: str, beside: Optional[str] = None) -> Tuple[ctypes.CDLL, str]:
    """Loads the library from $<LIBRARY>_LIB, else from the directory of the library file `beside`
    (another library of the package, already loaded from a path), else from the package
    directory, else by SONAME."""
    tried: List[str] = []
    variable = library_variable(library)
    explicit = os.environ.get(variable)
    if explicit:
        try:
            return ctypes.CDLL(explicit), explicit
        except OSError as e:
            raise LibraryNotFoundError(f"cannot load lib{library}: {variable}={explicit}: {e}") from None
    tried.append(f"{variable} (not set)")
    directories = [package_dir]
    if beside and os.path.dirname(beside):
        directories.insert(0, os.path.dirname(os.path.abspath(beside)))
    for directory in dict.fromkeys(directories):
        for name in dict.fromkeys((soname, f"lib{library}.so")):
            path = os.path.join(directory, name)
            if not os.path.exists(path):
                tried.append(f"{path} (no such file)")
                continue
            try:
                return ctypes.CDLL(path), path
            except OSError as e:
                tried.append(f"{path} ({e})")
    try:
        return ctypes.CDLL(soname), soname
    except OSError as e:
        tried.append(f"{soname} through the system's library search ({e})")
    raise LibraryNotFoundError(f"cannot load lib{library}; looked at: " + "; ".join(tried))


class Library:
    """A loaded library whose contract version and checksums match the generated bindings."""

    def __init__(self, cdll: ctypes.CDLL, path: str, namespace: str, contract_version: int,
                 functions: Sequence[FunctionSpec], internal_error: Type[Exception]) -> None:
        self.path = path
        self._internal = internal_error
        self._functions: Dict[str, Any] = {}
        self._prefix = f"uniffi_{namespace}_fn_func_"
        version_fn = self._symbol(cdll, f"ffi_{namespace}_uniffi_contract_version")
        version_fn.argtypes = []
        version_fn.restype = ctypes.c_uint32
        got = version_fn()
        if got != contract_version:
            raise LibraryMismatchError(
                f"{path} has contract version {got}; these bindings need contract version {contract_version}")
        for spec in functions:
            checksum_fn = self._symbol(cdll, f"uniffi_{namespace}_checksum_func_{spec.name}")
            checksum_fn.argtypes = []
            checksum_fn.restype = ctypes.c_uint16
            value = checksum_fn()
            if value != spec.checksum:
                raise LibraryMismatchError(
                    f"{path} differs from these bindings in function {spec.name}: checksum 0x{value:04x}, "
                    f"expected 0x{spec.checksum:04x}")
            fn = self._symbol(cdll, self._prefix + spec.name)
            fn.argtypes = [_c_type(t) for _, t in spec.arguments] + [ctypes.POINTER(RustCallStatus)]
            fn.restype = _c_type(spec.result)
            self._functions[spec.name] = fn
        self._from_bytes = self._symbol(cdll, f"ffi_{namespace}_rustbuffer_from_bytes")
        self._from_bytes.argtypes = [ForeignBytes, ctypes.POINTER(RustCallStatus)]
        self._from_bytes.restype = RustBuffer
        self._free = self._symbol(cdll, f"ffi_{namespace}_rustbuffer_free")
        self._free.argtypes = [RustBuffer, ctypes.POINTER(RustCallStatus)]
        self._free.restype = None

    def _symbol(self, cdll: ctypes.CDLL, name: str) -> Any:
        try:
            return getattr(cdll, name)
        except AttributeError:
            function = name.rsplit("_func_", 1)[-1] if "_func_" in name else name
            raise LibraryMismatchError(f"{self.path} differs from these bindings in function {function}: "
                                       f"{name} is not exported") from None

    def buffer(self, data: bytes) -> RustBuffer:
        """A library-owned buffer holding a copy of `data`."""
        if len(data) > 0x7FFFFFFF:
            raise ValueError(f"an argument of {len(data)} bytes is larger than a call can carry")
        view = ForeignBytes(0, None)
        keep = None
        if data:
            keep = ctypes.create_string_buffer(data, len(data))
            view = ForeignBytes(len(data), ctypes.cast(keep, ctypes.POINTER(ctypes.c_uint8)))
        status = RustCallStatus()
        buf = self._from_bytes(view, ctypes.byref(status))
        del keep
        if status.code != 0:
            raise self._internal(self._take(status.error_buf).decode("utf-8", "replace"))
        return buf

    def _take(self, buf: RustBuffer) -> bytes:
        """Copies a library buffer out and releases it."""
        data = ctypes.string_at(buf.data, buf.len) if buf.len else b""
        if buf.data or buf.capacity:
            status = RustCallStatus()
            self._free(buf, ctypes.byref(status))
            if status.code != 0:
                message = ctypes.string_at(status.error_buf.data, status.error_buf.len)
                raise self._internal(f"releasing a buffer failed: {message.decode('utf-8', 'replace')}")
        return data

    def call(self, spec: FunctionSpec, *values: Any) -> Any:
        if len(values) != len(spec.arguments):
            raise TypeError(f"{spec.name}() takes {len(spec.arguments)} arguments ({len(values)} given)")
        lowered = [_codec.lower_argument(t, v, f"{spec.name}() argument '{name}'")
                   for (name, t), v in zip(spec.arguments, values)]
        c_args: List[Any] = []
        try:
            for (_, t), value in zip(spec.arguments, lowered):
                c_args.append(self.buffer(value) if _c_type(t) is RustBuffer else value)
        except BaseException:
            for arg in c_args:
                if isinstance(arg, RustBuffer):
                    self._take(arg)
            raise
        status = RustCallStatus()
        result = self._functions[spec.name](*c_args, ctypes.byref(status))
        if status.code != 0:
            self._raise(spec, status)
        if spec.result is None:
            return None
        if _c_type(spec.result) is not RustBuffer:
            return bool(result) if spec.result[0] == "bool" else result
        data = self._take(result)
        try:
            return _codec.lift_buffer(spec.result, data)
        except _codec.DecodeError as e:
            raise self._internal(f"{spec.name} returned an undecodable {spec.result[0]}: {e}") from None

    def _raise(self, spec: FunctionSpec, status: RustCallStatus) -> None:
        payload = self._take(status.error_buf)
        if status.code == 1:
            variants = getattr(spec.error, "_VARIANTS", ())
            try:
                reader = _codec.Reader(payload)
                (number,) = struct.unpack(">i", reader.take(4))
                message = reader.read(("string",))
                reader.finish()
            except _codec.DecodeError as e:
                raise self._internal(f"{spec.name} raised an undecodable {spec.error.__name__}: {e}") from None
            if not 1 <= number <= len(variants):
                raise self._internal(f"{spec.name} raised {spec.error.__name__} with unknown variant {number}")
            raise variants[number - 1](message)
        if status.code == 2:
            raise self._internal(payload.decode("utf-8", "replace"))
        raise self._internal(f"{spec.name} returned the unexpected call status {status.code}")
