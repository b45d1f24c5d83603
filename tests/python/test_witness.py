"""The generated witness module and the witness commands of the command line, on the demo's real
and hybrid-signed cosigned checkpoints and its proof bundle."""
import hashlib
import json
import os

import pytest

import quorvantile_log.witness as w
from conftest import DEMO, SOURCE_DIR, WITNESS_LIBRARY, child_env, run_python
from description import read_interface

WIT = os.path.join(DEMO, "witness")


def text(name):
    with open(os.path.join(WIT, name), encoding="utf-8") as f:
        return f.read()


LEAF_HASH = text("index5.leaf_hash").strip()
with open(os.path.join(SOURCE_DIR, "tests", "data", "witness", "fixtures.json"), encoding="utf-8") as _f:
    FIXTURES = json.load(_f)


def test_the_built_component_describes_what_the_module_was_generated_from():
    iface = read_interface(WITNESS_LIBRARY)
    assert (iface.namespace, iface.library) == ("quorvantile_witness", "quorvantile_witness")
    assert {f.name: f.checksum for f in iface.functions} == w.CHECKSUMS
    assert [(e.name, [v.name for v in e.variants]) for e in iface.errors] == [
        ("WitnessError", ["Verification", "MalformedPolicy", "MalformedInput"])]
    assert [r.name for r in iface.records] == ["CheckpointHead", "CosignedCheckpoint", "RejectedWitness",
                                               "TlogProof", "WitnessGroup", "WitnessPolicy"]


@pytest.mark.parametrize("note, policy, counted, error", [
    ("arche2025h1.checkpoint", "arche2025h1_3of4.policy", ["little-garden", "smartit", "remora", "stagemole"], None),
    ("arche2025h1.checkpoint", "arche2025h1_unmet.policy", None,
     'witness quorum "everyone" not met: 4 witnesses counted'),
    ("hybrid.checkpoint", "hybrid.policy", ["ed1", "pq1"], None),
    ("hybrid.checkpoint", "hybrid_unmet.policy", None, 'witness quorum "three" not met: 2 witnesses counted'),
])
def test_checkpoint_verify_cosigned(note, policy, counted, error):
    if error:
        with pytest.raises(w.WitnessError.Verification) as e:
            w.checkpoint_verify_cosigned(text(note), text(policy))
        assert str(e.value) == error
        return
    c = w.checkpoint_verify_cosigned(text(note), text(policy))
    assert c.counted_witnesses == counted
    assert c.rejected_witnesses == []
    assert c.log_key_name == c.checkpoint.origin
    assert c.oldest_timestamp <= c.newest_timestamp


def test_tlog_proof_verify_returns_the_index_extra_and_checkpoint():
    p = w.tlog_proof_verify(text("index5.tlog-proof"), text("hybrid.policy"), bytes.fromhex(LEAF_HASH))
    assert p.index == FIXTURES["leaf_index"]
    assert p.extra == bytes.fromhex(FIXTURES["extra_hex"])
    assert p.checkpoint.checkpoint.size == FIXTURES["newer"]["size"]
    assert p.checkpoint.checkpoint.root == bytes.fromhex(FIXTURES["newer"]["root_hex"])


def test_policy_parse_resolves_thresholds():
    policy = w.witness_policy_parse(text("arche2025h1_3of4.policy"))
    assert policy.quorum == "three-of-four"
    assert [(g.name, g.threshold, len(g.members)) for g in policy.groups] == [("three-of-four", 3, 4)]
    assert policy.witness_names == ["little-garden", "smartit", "remora", "stagemole"]


CLI_CASES = [
    (["verify-cosigned", "{w}/arche2025h1.checkpoint", "--policy", "{w}/arche2025h1_3of4.policy"], 0,
     "counted witnesses: little-garden, smartit, remora, stagemole"),
    (["verify-cosigned", "{w}/arche2025h1.checkpoint", "--policy", "{w}/arche2025h1_unmet.policy"], 1,
     'rejected: witness quorum "everyone" not met: 4 witnesses counted'),
    (["verify-cosigned", "{w}/hybrid.checkpoint", "--policy", "{w}/absent.policy"], 2, "cannot read"),
    (["verify-cosigned", "{w}/hybrid.checkpoint"], 2, "--policy"),
    (["verify-proof", "{w}/index5.tlog-proof", "--policy", "{w}/hybrid.policy", "--leaf-hash", LEAF_HASH], 0,
     "verified: leaf 5 is in witness-fixtures.quorvantile.dev/log at size 13"),
    (["verify-proof", "{w}/index5.tlog-proof", "--policy", "{w}/hybrid.policy", "--leaf", "{d}/leaf5"], 0,
     "extra data (unauthenticated): Zml4dHVyZSBleHRyYSBkYXRh"),
    (["verify-proof", "{w}/index5.tlog-proof", "--policy", "{w}/hybrid.policy", "--leaf", "{d}/leaf6"], 1,
     "rejected: root mismatch"),
    (["verify-proof", "{w}/index5.tlog-proof", "--policy", "{w}/hybrid_unmet.policy", "--leaf-hash", LEAF_HASH], 1,
     'rejected: witness quorum "three" not met'),
    (["verify-proof", "{w}/index5.tlog-proof", "--policy", "{w}/hybrid.policy"], 2,
     "give exactly one of --leaf-hash and --leaf"),
    (["verify-proof", "{w}/index5.tlog-proof", "--policy", "{w}/hybrid.policy", "--leaf-hash", "zz"], 2,
     "is neither hex nor base64"),
]


@pytest.mark.parametrize("argv, status, output", CLI_CASES)
def test_witness_commands(tmp_path, argv, status, output):
    (tmp_path / "leaf5").write_bytes(bytes.fromhex(FIXTURES["leaf_data_hex"]))
    (tmp_path / "leaf6").write_bytes(bytes.fromhex(FIXTURES["leaf_data_hex"])[:-1] + b"6")
    assert hashlib.sha256(b"\x00" + (tmp_path / "leaf5").read_bytes()).hexdigest() == LEAF_HASH
    args = [a.format(w=WIT, d=tmp_path) for a in argv]
    got = run_python(["-m", "quorvantile_log", *args])
    assert got.returncode == status, got.stderr
    assert output in (got.stdout if status == 0 else got.stderr)


def test_without_the_witness_library_only_its_commands_fail():
    env = child_env(QUORVANTILE_WITNESS_LIB=os.path.join(WIT, "no-such-library.so"))
    witness = run_python(["-m", "quorvantile_log", "verify-cosigned", os.path.join(WIT, "hybrid.checkpoint"),
                          "--policy", os.path.join(WIT, "hybrid.policy")], env=env)
    assert witness.returncode == 2
    assert "cannot load libquorvantile_witness" in witness.stderr
    note = run_python(["-m", "quorvantile_log", "note", os.path.join(DEMO, "checkpoint.note"), "--vkey",
                       os.path.join(DEMO, "checkpoint.vkeys")], env=env)
    assert note.returncode == 0, note.stderr
