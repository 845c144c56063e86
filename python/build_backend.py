"""Builds the zelva1 wheel with nothing but the standard library.

The package is a few pure-Python files, and setuptools could only build it where the `wheel`
package is installed beside it, or fetched: a fresh virtual environment offline has neither.
This backend (PEP 517, with PEP 660 for editable installs) writes the wheel itself, so that
`pip install ./python` works in any environment with pip, offline.
"""

import base64
import hashlib
import io
import re
import tarfile
import zipfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
PACKAGE = "zelva1"


def _project():
    """The [project] strings of pyproject.toml that the metadata needs (tomllib is 3.11+)."""
    text = (HERE / "pyproject.toml").read_text(encoding="utf-8")
    table = text.split("[project]", 1)[1].split("\n[", 1)[0]
    project = dict(re.findall(r'^([\w-]+) = "([^"]*)"$', table, re.M))
    # The version is dynamic: the package's own __version__, one place for it and the wheel.
    source = (HERE / PACKAGE / "__init__.py").read_text(encoding="utf-8")
    project["version"] = re.search(r'^__version__ = "([^"]*)"$', source, re.M).group(1)
    return project


def _metadata():
    project = _project()
    readme = (HERE / "README.md").read_text(encoding="utf-8")
    return (f"Metadata-Version: 2.1\nName: {project['name']}\nVersion: {project['version']}\n"
            f"Summary: {project['description']}\nRequires-Python: {project['requires-python']}\n"
            f"Description-Content-Type: text/markdown\n\n{readme}")


def _names():
    project = _project()
    base = f"{project['name']}-{project['version']}"
    return base, f"{base}.dist-info", f"{base}-py3-none-any.whl"


def _write_wheel(wheel_directory, files):
    """A wheel of `files` (name in the wheel: bytes) with its metadata and record."""
    _, info, wheel_name = _names()
    files = dict(files)
    files[f"{info}/METADATA"] = _metadata().encode("utf-8")
    files[f"{info}/WHEEL"] = (b"Wheel-Version: 1.0\nGenerator: zelva1 build_backend\n"
                              b"Root-Is-Purelib: true\nTag: py3-none-any\n")
    record = []
    for name, data in files.items():
        digest = base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=")
        record.append(f"{name},sha256={digest.decode()},{len(data)}")
    record.append(f"{info}/RECORD,,")
    files[f"{info}/RECORD"] = ("\n".join(record) + "\n").encode("utf-8")
    with zipfile.ZipFile(Path(wheel_directory) / wheel_name, "w", zipfile.ZIP_DEFLATED) as wheel:
        for name, data in files.items():
            wheel.writestr(name, data)
    return wheel_name


def _sources():
    return sorted((HERE / PACKAGE).glob("*.py"))


def get_requires_for_build_wheel(config_settings=None):
    return []


get_requires_for_build_sdist = get_requires_for_build_wheel
get_requires_for_build_editable = get_requires_for_build_wheel


def build_wheel(wheel_directory, config_settings=None, metadata_directory=None):
    return _write_wheel(wheel_directory, {f"{PACKAGE}/{source.name}": source.read_bytes()
                                          for source in _sources()})


def build_editable(wheel_directory, config_settings=None, metadata_directory=None):
    # The source folder on the path: the files are used where they are.
    return _write_wheel(wheel_directory, {f"{PACKAGE}.pth": f"{HERE}\n".encode("utf-8")})


def build_sdist(sdist_directory, config_settings=None):
    base, _, _ = _names()
    name = f"{base}.tar.gz"
    with tarfile.open(Path(sdist_directory) / name, "w:gz") as sdist:
        for path in [HERE / "pyproject.toml", HERE / "README.md", Path(__file__), *_sources()]:
            sdist.add(path, f"{base}/{path.relative_to(HERE).as_posix()}")
        info = _metadata().encode("utf-8")
        entry = tarfile.TarInfo(f"{base}/PKG-INFO")
        entry.size = len(info)
        sdist.addfile(entry, io.BytesIO(info))
    return name
