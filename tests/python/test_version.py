# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0

"""The release version is written once, in CMakeLists.txt; every other place that states it agrees."""
import os
import re
import subprocess
import sys

from conftest import BUILD_DIR, LIBRARY, SOURCE_DIR, WITNESS_LIBRARY


def _cmake_version():
    with open(os.path.join(SOURCE_DIR, "CMakeLists.txt"), encoding="utf-8") as f:
        return re.search(r"^project\(quorvantile_log VERSION (\S+)", f.read(), re.MULTILINE).group(1)


def _pc_version(name):
    with open(os.path.join(os.path.dirname(LIBRARY) or BUILD_DIR, f"{name}.pc"), encoding="utf-8") as f:
        return re.search(r"^Version: (\S+)$", f.read(), re.MULTILINE).group(1)


def _debian_version():
    return subprocess.run(["dpkg-parsechangelog", "-l", os.path.join(SOURCE_DIR, "debian", "changelog"),
                           "-S", "Version"], check=True, capture_output=True, text=True).stdout.strip()


def _wheel_version():
    sys.path.insert(0, os.path.join(SOURCE_DIR, "python", "build_backend"))
    try:
        import qv_wheel
        return qv_wheel._project()["version"]
    finally:
        sys.path.pop(0)


def _shared_object_version(library):
    # lib<name>.so -> lib<name>.so.0 -> lib<name>.so.<version>
    return os.path.basename(os.path.realpath(library)).split(".so.", 1)[1]


def test_every_place_states_the_cmake_version():
    import quorvantile_log

    expected = _cmake_version()
    stated = {
        "quorvantile_log.pc": _pc_version("quorvantile_log"),
        "quorvantile_witness.pc": _pc_version("quorvantile_witness"),
        "quorvantile_log.__version__": quorvantile_log.__version__,
        "the wheel's metadata (pyproject.toml)": _wheel_version(),
        "debian/changelog": _debian_version(),
        "libquorvantile_log.so file name": _shared_object_version(LIBRARY),
        "libquorvantile_witness.so file name": _shared_object_version(WITNESS_LIBRARY),
    }
    assert {place: expected for place in stated} == stated
