"""The typed client that python.mypy checks also runs as it claims."""
import subprocess
import sys

from conftest import SOURCE


def test_the_typed_client_does_what_it_says(folder):
    done = subprocess.run([sys.executable, str(SOURCE / "python" / "tests" / "typed_client.py"), str(folder)],
                          capture_output=True, encoding="utf-8", check=True)
    assert done.stdout == repr(([("買い物", "牛乳 > パン"), ("todo", "x < y")], ["買い物", "todo"],
                                (True, "a", {"x": "1"}), ["filename", "handle"], 53)) + "\n"
    assert done.stderr == ""
