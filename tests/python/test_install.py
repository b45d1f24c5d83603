"""The package installed offline into a fresh virtual environment imports and verifies."""
import os
import shutil
import subprocess

from conftest import DEMO, LIBRARY, SOURCE_DIR

SCRIPT = """
import quorvantile_log as q
note = open({note!r}).read()
keys = open({keys!r}).read().split()
print(q.checkpoint_verify(note, keys).size, q.__file__)
"""


def test_install_into_a_fresh_venv(tmp_path):
    venv = tmp_path / "venv"
    subprocess.run(["/usr/bin/python3", "-m", "venv", str(venv)], check=True, capture_output=True)
    # Build from a copy, so that parallel runs never share a source tree.
    src = tmp_path / "src"
    shutil.copytree(os.path.join(SOURCE_DIR, "python"), src, ignore=shutil.ignore_patterns("__pycache__", "build", "*.egg-info"))
    pip = subprocess.run([str(venv / "bin" / "pip"), "install", "--no-build-isolation", "--no-index", "-q", str(src)],
                         capture_output=True, text=True)
    assert pip.returncode == 0, pip.stderr
    env = {"PATH": os.environ.get("PATH", ""), "QUORVANTILE_LOG_LIB": LIBRARY}
    python = str(venv / "bin" / "python")
    script = SCRIPT.format(note=os.path.join(DEMO, "checkpoint.note"), keys=os.path.join(DEMO, "checkpoint.vkeys"))
    got = subprocess.run([python, "-c", script], env=env, cwd=str(tmp_path), capture_output=True, text=True)
    assert got.returncode == 0, got.stderr
    size, location = got.stdout.split()
    assert size == "7"
    assert location.startswith(str(venv))
    # The console script and `python -m` answer alike, with and without a loadable library.
    check = ["checkpoint", os.path.join(DEMO, "checkpoint.note"), "--vkey", os.path.join(DEMO, "checkpoint.vkeys")]
    for argv, environment, status in [(check, env, 0), (check + ["--json"], env, 0), (["--version"], env, 0),
                                      (check, dict(env, QUORVANTILE_LOG_LIB="/nonexistent.so"), 2),
                                      (check + ["--json"], dict(env, QUORVANTILE_LOG_LIB="/nonexistent.so"), 2)]:
        script, module = (subprocess.run(command + argv, env=environment, capture_output=True, text=True)
                          for command in ([str(venv / "bin" / "quorvantile-log")], [python, "-m", "quorvantile_log"]))
        assert (script.returncode, script.stdout, script.stderr) == (module.returncode, module.stdout, module.stderr)
        assert script.returncode == status, script.stderr
        assert "Traceback" not in script.stderr
