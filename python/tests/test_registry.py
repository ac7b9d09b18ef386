"""The build tree's Ostrel is found with no COM_REGISTRY: the component
runtime reads the registrations beside itself, wherever Python lies."""
import os
import subprocess
import sys

from conftest import BUILD


def test_the_build_tree_needs_no_environment_and_writes_nothing_home(tmp_path):
    home = tmp_path / "home"
    home.mkdir()
    environment = {"PATH": os.environ["PATH"], "PYTHONPATH": str(BUILD / "python"), "HOME": str(home)}
    done = subprocess.run([sys.executable, "-B", "-c", "import ostrel; ostrel.Dispatch('Ostrel.CXmlWriter')"],
                          env=environment, cwd=tmp_path, capture_output=True, encoding="utf-8", check=False)
    assert done.returncode == 0, done.stderr
    assert list(home.iterdir()) == []
