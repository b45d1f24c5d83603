"""The generator's reading of the embedded description: the checksum fold, the records of the
built library, and refusal of records that do not decode."""
import pytest

import quorvantile_log as qv
from conftest import LIBRARY
from description import DescriptionError, _enumeration, _function, _Reader, _record, checksum, fnv1a64, read_interface
from elf_symbols import ElfError, ElfFile

PATH = b"\x14quorvantile_log::ffi"


def test_fnv1a_fold():
    assert fnv1a64(b"abc") == 0xE71FA2190541574B
    assert checksum(b"abc") == 0x170C


def test_the_built_library_describes_what_the_module_was_generated_from():
    iface = read_interface(LIBRARY)
    assert (iface.namespace, iface.library) == ("quorvantile_log", "quorvantile_log")
    assert {f.name: f.checksum for f in iface.functions} == qv.CHECKSUMS
    assert [r.name for r in iface.records] == ["CheckpointHead", "PolicyPosture", "SearchResult"]
    assert {e.name: [v.number for v in e.variants] for e in iface.enums} == {
        "CheckpointSuite": [1, 2, 3], "CommitmentHash": [1, 2], "DirectoryMode": [1, 2],
        "KeytransSuite": [1, 2, 3], "SecurityLevel": [1, 2], "VrfMode": [1, 2, 3]}
    assert [(e.name, [v.name for v in e.variants]) for e in iface.errors] == [("VerifyError", ["Verification"])]
    inclusion = next(f for f in iface.functions if f.name == "verify_inclusion")
    assert all(a.doc for f in iface.functions for a in f.arguments)
    assert [(a.name, a.type) for a in inclusion.arguments] == [
        ("index", ("u64",)), ("size", ("u64",)), ("leaf_hash", ("sequence", ("u8",))),
        ("proof", ("sequence", ("sequence", ("u8",)))), ("root", ("sequence", ("u8",)))]
    assert inclusion.result is None and inclusion.error == "VerifyError"


def test_namespace_record_is_33_bytes():
    elf = ElfFile(open(LIBRARY, "rb").read())
    sym = elf.symbols()["UNIFFI_META_NAMESPACE_QUORVANTILE_LOG"]
    assert elf.symbol_bytes(sym) == b"\x06\x0fquorvantile_log\x0fquorvantile_log"


VERIFY_ERROR = b"\x0e" + PATH + b"\x0bVerifyError"
DOC = b"hi\n\nArguments:\na: The a."
GOOD_FUNCTION = (b"\x00" + PATH + b"\x01f\x00\x00\x01\x01a\x03\x00\x00\x17\xff" + VERIFY_ERROR
                 + bytes([len(DOC), 0]) + DOC)


def test_a_well_formed_function_record_decodes():
    f = _function(_Reader("R", GOOD_FUNCTION))
    assert (f.name, [(a.name, a.type, a.doc) for a in f.arguments], f.result, f.error, f.doc) == (
        "f", [("a", ("u64",), "The a.")], None, "VerifyError", "hi")


def undocumented(doc):
    return GOOD_FUNCTION[:-len(DOC) - 2] + bytes([len(doc), 0]) + doc


@pytest.mark.parametrize("decode, record, problem", [
    (_function, GOOD_FUNCTION[:-1], "record ends early"),
    (_function, GOOD_FUNCTION + b"\x00", "1 bytes after the record"),
    (_function, GOOD_FUNCTION.replace(b"\x01f\x00", b"\x01f\x01", 1), "asynchronous"),
    (_function, GOOD_FUNCTION.replace(b"\x01a\x03", b"\x01a\x42", 1), "unknown type code 0x42"),
    (_function, GOOD_FUNCTION.replace(b"\x01a\x03", b"\x01a\xff", 1), "no-value type"),
    (_function, GOOD_FUNCTION.replace(b"\x17\xff", b"\x16\xff", 1), "result type"),
    (_function, GOOD_FUNCTION.replace(b"\x17\xff\x0e", b"\x17\xff\x0d", 1), "not an error enumeration"),
    (_function, undocumented(b"hi"), "documents no argument"),
    (_function, undocumented(b"hi\n\nArguments:\nb: The b."), "are not \\['a'\\]"),
    (_function, undocumented(b"hi\n\nArguments:\na: "), "each with a text"),
    (_record, b"\x02" + PATH + b"\x01R\x00\x01\x01x\x00\x0b\x01\x00\x00\x00", "default value"),
    (_enumeration, b"\x03" + PATH + b"\x01E\x00\x01\x00\x00\x00\x00\x00", "unsupported enumeration shape 1"),
    (_enumeration, b"\x03" + PATH + b"\x01E\x00\x00\x00\x01\x01A\x00\x00", "record ends early"),
])
def test_malformed_records_are_refused(decode, record, problem):
    with pytest.raises(DescriptionError, match=problem):
        decode(_Reader("R", record))


@pytest.mark.parametrize("data, problem", [
    (b"", "not an ELF file"),
    (b"\x7fELF\x01\x01" + bytes(58), "not a 64-bit little-endian"),
    (b"\x7fELF\x02\x01" + bytes(58), "no section headers"),
])
def test_non_elf_input_is_refused(data, problem):
    with pytest.raises(ElfError, match=problem):
        ElfFile(data)


def test_records_described_identically_are_shared():
    from description import Field, Interface, Record, link
    head = Record("Head", [Field("size", ("u64",), "")], "")
    holder = Record("Holder", [Field("head", ("record", "Head"), "")], "")
    base = Interface("b", "b", "b", records=[head, holder])
    narrower = Record("Head", [Field("size", ("u32",), "")], "")
    # A record that differs is not shared, and neither is one that uses it.
    for records, shared in (([head, holder], {"Head", "Holder"}), ([narrower, holder], set())):
        iface = Interface("i", "i", "i", records=records)
        link(iface, base)
        assert iface.shared_records == shared
