"""Shared set-up: the build tree's registry and programs, scratch folders."""
import json
import os
import pathlib
import subprocess

import pytest

import ostrel

# The build tree whose package is imported: BUILD/python/ostrel/__init__.py.
BUILD = pathlib.Path(ostrel.__file__).resolve().parents[2]
BIN = BUILD / "bin"
SOURCE = pathlib.Path(__file__).resolve().parents[2]
# Child Pythons import the same package from wherever they start.
os.environ["PYTHONPATH"] = str(BUILD / "python")


def run_tool(name, *arguments, stdin=None):
    """Runs a program of the build tree; returns (exit status, stdout lines)."""
    done = subprocess.run([str(BIN / name), *map(str, arguments)], input=stdin, capture_output=True,
                          encoding="utf-8", errors="surrogateescape", check=False)
    return done.returncode, done.stdout.splitlines()


def dump_events(path):
    """ostrel-dump's callbacks for the file PATH, as parsed JSON objects."""
    _, lines = run_tool("ostrel-dump", path)
    return [json.loads(line) for line in lines]


@pytest.fixture
def folder(tmp_path, monkeypatch):
    """A scratch folder that is also the current one."""
    monkeypatch.chdir(tmp_path)
    return tmp_path


@pytest.fixture
def message_boxes():
    """The (text, caption) of each message box shown while the test runs."""
    shown = []
    ostrel.set_message_box(lambda text, caption: shown.append((text, caption)))
    yield shown
    ostrel.set_message_box(None)


def write_cp932(path, *lines):
    """A file of LINES in CP932 with CR LF line ends, as Ostrel reads them."""
    pathlib.Path(path).write_bytes("".join(line + "\r\n" for line in lines).encode("cp932"))
    return path
