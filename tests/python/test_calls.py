"""Every exported function through the Python bindings, on the call table the C++ layer also runs."""
import pytest

import quorvantile_log as qv
from quorvantile_log import _bindings, _codec, _ffi

SPECS = {name[len("_SPEC_"):].lower(): spec for name, spec in vars(_bindings).items() if name.startswith("_SPEC_")}


def outcome(row):
    spec = SPECS[row["function"]]
    args = [_codec.from_plain(t, value) for (_, t), value in zip(spec.arguments, row["args"])]
    try:
        value = getattr(qv, row["function"])(*args)
    except qv.VerifyError.Verification as e:
        return {"outcome": "verification", "kind": e.kind, "message": str(e)}
    except qv.InternalError as e:
        return {"outcome": "internal", "kind": e.kind, "message": str(e)}
    return {"outcome": "ok", "value": _codec.to_plain(value)}


def test_every_function_has_a_valid_and_an_invalid_row(table_file):
    expects = {(row["function"], row["expect"] == "ok") for row in table_file["calls"]}
    expects |= {(name, False) for name in table_file["total"]}
    for name in qv.CHECKSUMS:
        assert (name, True) in expects, f"{name} has no valid row"
        assert (name, False) in expects, f"{name} has no invalid row"


def test_outcomes_are_the_expected_ones_and_equal_the_cpp_layer(call_table, cpp_outcomes):
    assert len(cpp_outcomes) == len(call_table)
    for row, cpp in zip(call_table, cpp_outcomes):
        got = outcome(row)
        assert (got["outcome"], got.get("kind")) == (row["expect"], row.get("kind")), (row["function"], got)
        assert got == cpp, row["function"]


def test_typed_results():
    with open(f"{qv_demo()}/checkpoint.note", encoding="utf-8") as f:
        note = f.read()
    with open(f"{qv_demo()}/checkpoint.vkeys", encoding="utf-8") as f:
        keys = f.read().split()
    head = qv.checkpoint_verify(note, keys)
    assert isinstance(head, qv.CheckpointHead)
    assert (head.origin, head.size, len(head.root), head.extensions) == ("demo.example/log", 7, 32, [])
    assert qv.verify_signed_note(note, keys) == 2


def qv_demo():
    from conftest import DEMO
    return DEMO


def test_verification_error_shape():
    with pytest.raises(qv.VerifyError) as caught:
        qv.verify_inclusion(5, 5, bytes(32), [], bytes(32))
    assert type(caught.value) is qv.VerifyError.Verification
    assert isinstance(caught.value, qv.Error) and caught.value.kind == "leaf_index_beyond_size"
    assert str(caught.value) == "leaf index 5 is beyond tree size 5"
    assert repr(caught.value) == "VerifyError.Verification('leaf index 5 is beyond tree size 5')"


@pytest.mark.parametrize("call, error", [
    (lambda: qv.verify_inclusion(-1, 8, bytes(32), [], bytes(32)), ValueError),
    (lambda: qv.verify_inclusion(1 << 64, 8, bytes(32), [], bytes(32)), ValueError),
    (lambda: qv.verify_inclusion(True, 8, bytes(32), [], bytes(32)), TypeError),
    (lambda: qv.verify_inclusion(0, 8, "00" * 32, [], bytes(32)), TypeError),
    (lambda: qv.verify_inclusion(0, 8, bytes(32), [bytes(32), "x"], bytes(32)), TypeError),
    (lambda: qv.verify_inclusion(0, 8, bytes(32), [], bytes(32), 1), TypeError),
    (lambda: qv.verify_signed_note("note", "a bare string is not a list of keys"), TypeError),
    (lambda: qv.checkpoint_parse(b"bytes are not text"), TypeError),
    (lambda: qv.checkpoint_parse("\ud800 is no UTF-8"), UnicodeEncodeError),
])
def test_arguments_that_cannot_be_lowered_fail_before_any_call(call, error):
    with pytest.raises(error):
        call()


def test_an_undecodable_argument_is_an_internal_error():
    # vkeys sent as sequence<u8> [1]: the library reads a count of 1 and then misses a length.
    spec = _ffi.FunctionSpec("checkpoint_verify", (("note_text", ("string",)), ("vkeys", ("sequence", ("u8",)))),
                             ("record", qv.CheckpointHead), qv.VerifyError, 0)
    with pytest.raises(qv.InternalError) as caught:
        _bindings._LIBRARY.call(spec, "note", b"\x01")
    assert str(caught.value) == "Failed to convert arg 'vkeys':\nnot enough bytes remaining in buffer (1 < 4)"


class Counting:
    """Counts the library buffers created and released by the bindings during one call."""

    def __init__(self, monkeypatch, fail_creation_at=None):
        lib = _bindings._LIBRARY
        self.created = self.freed = 0
        real_create, real_free = lib._from_bytes, lib._free

        def create(*args):
            self.created += 1
            if self.created == fail_creation_at:
                raise qv.InternalError("simulated allocation failure")
            return real_create(*args)

        def free(*args):
            self.freed += 1
            return real_free(*args)

        monkeypatch.setattr(lib, "_from_bytes", create)
        monkeypatch.setattr(lib, "_free", free)


BODY = "demo.example/log\n7\nnGvuSfr2UaQlJIENfycjlLu0GBE2Q3hM4i+oYtA7bYc=\n"


@pytest.mark.parametrize("name, call, fail_at, created, freed", [
    ("result buffer", lambda: qv.checkpoint_parse(BODY), None, 1, 1),
    ("error buffer", lambda: qv.checkpoint_parse(""), None, 1, 1),
    ("nothing to release", lambda: qv.verify_inclusion(0, 1, bytes(32), [], bytes(32)), None, 3, 0),
    ("later argument fails", lambda: qv.verify_inclusion(0, 1, bytes(32), [], bytes(32)), 3, 3, 2),
])
def test_every_buffer_is_released(monkeypatch, name, call, fail_at, created, freed):
    counts = Counting(monkeypatch, fail_at)
    try:
        call()
    except (qv.VerifyError, qv.InternalError):
        pass
    assert (counts.created, counts.freed) == (created, freed), name
