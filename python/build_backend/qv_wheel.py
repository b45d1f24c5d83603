# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0

"""Builds the package's wheel with the standard library alone, so that
`pip install --no-build-isolation ./python` works offline with nothing but pip.

The project's name, summary, licence and scripts come from pyproject.toml's [project] table; the
version is the package's `__version__` (read from the source, not imported: importing loads the
library), which tests/python/test_version.py keeps equal to the CMake project version.
"""
from __future__ import annotations

import base64
import hashlib
import os
import re
import tomllib
import zipfile
from typing import Dict, List, Optional, Tuple

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def _project() -> Dict:
    with open(os.path.join(ROOT, "pyproject.toml"), "rb") as f:
        project = tomllib.load(f)["project"]
    if "version" in project.get("dynamic", []):
        project["version"] = package_version(project["name"])
    return project


def package_version(package: str) -> str:
    with open(os.path.join(ROOT, package, "__init__.py"), encoding="utf-8") as f:
        found = re.search(r'^__version__ = "([^"]+)"$', f.read(), re.MULTILINE)
    if not found:
        raise RuntimeError(f"{package}/__init__.py has no __version__ line")
    return found.group(1)


def _files(package: str) -> List[Tuple[str, bytes]]:
    out = []
    base = os.path.join(ROOT, package)
    for name in sorted(os.listdir(base)):
        if name.endswith(".py") or name == "py.typed":
            with open(os.path.join(base, name), "rb") as f:
                out.append((f"{package}/{name}", f.read()))
    return out


def _metadata(project: Dict) -> bytes:
    lines = ["Metadata-Version: 2.1", f"Name: {project['name']}", f"Version: {project['version']}",
             f"Summary: {project.get('description', '')}", f"Requires-Python: {project.get('requires-python', '')}"]
    if "license" in project:
        lines.append(f"License: {project['license']['text']}")
    lines += [f"Classifier: {c}" for c in project.get("classifiers", [])]
    return ("\n".join(lines) + "\n").encode()


def _record_line(path: str, data: bytes) -> str:
    digest = base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=").decode()
    return f"{path},sha256={digest},{len(data)}"


def get_requires_for_build_wheel(config_settings: Optional[Dict] = None) -> List[str]:
    return []


def build_wheel(wheel_directory: str, config_settings: Optional[Dict] = None,
                metadata_directory: Optional[str] = None) -> str:
    project = _project()
    name, version = project["name"], project["version"]
    dist_info = f"{name}-{version}.dist-info"
    files = _files(name)
    files.append((f"{dist_info}/METADATA", _metadata(project)))
    files.append((f"{dist_info}/WHEEL",
                  b"Wheel-Version: 1.0\nGenerator: qv_wheel\nRoot-Is-Purelib: true\nTag: py3-none-any\n"))
    scripts = project.get("scripts", {})
    if scripts:
        entry = "[console_scripts]\n" + "".join(f"{k} = {v}\n" for k, v in scripts.items())
        files.append((f"{dist_info}/entry_points.txt", entry.encode()))
    record = "\n".join(_record_line(p, d) for p, d in files) + f"\n{dist_info}/RECORD,,\n"
    files.append((f"{dist_info}/RECORD", record.encode()))
    wheel_name = f"{name}-{version}-py3-none-any.whl"
    with zipfile.ZipFile(os.path.join(wheel_directory, wheel_name), "w", zipfile.ZIP_DEFLATED) as zf:
        for path, data in files:
            zf.writestr(zipfile.ZipInfo(path, date_time=(1980, 1, 1, 0, 0, 0)), data)
    return wheel_name
