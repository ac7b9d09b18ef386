"""The examples of the README and docs/ run as they stand.

Python blocks of one page run in order, as one program, in a scratch folder:
a later block may use what an earlier one made. A block that is the whole of
a file in python/examples is run as that file by its own tests. A shell block
that runs ostrel-call on a script given inline must print what it shows.
"""
import re
import subprocess
import sys

import pytest

from conftest import BIN, SOURCE

PAGES = [SOURCE / "README.md", *sorted((SOURCE / "docs").glob("*.md"))]
EXAMPLE_FILES = {path.read_text(encoding="utf-8") for path in (SOURCE / "python" / "examples").glob("*.py")}
# A fenced block, indented as the list item that holds it: its info string and text.
BLOCK = re.compile(r"^( *)```(\w*)\n(.*?)^\1```$", re.MULTILINE | re.DOTALL)
# "$ build/bin/ostrel-call - <<'EOF'", the script, "EOF", then what it prints.
CALL = re.compile(r"^\$ build/bin/ostrel-call - <<'EOF'\n(.*?)^EOF\n(.*?)(?=^\$ |\Z)", re.MULTILINE | re.DOTALL)


def blocks(page, language):
    """The blocks of PAGE in LANGUAGE ("" for a plain block), indentation taken off."""
    found = []
    for match in BLOCK.finditer(page.read_text(encoding="utf-8")):
        indent, info, text = match.groups()
        if info == language:
            found.append("".join(line[len(indent):] + "\n" for line in text.splitlines()))
    return found


def python_program(page):
    return "".join(block for block in blocks(page, "python") if block not in EXAMPLE_FILES)


def shell_calls(page):
    return [call.groups() for block in blocks(page, "") for call in CALL.finditer(block)]


PYTHON_PAGES = [page for page in PAGES if python_program(page)]
CALL_PAGES = [page for page in PAGES if shell_calls(page)]


def test_the_pages_that_teach_each_language_have_examples_to_run():
    assert {page.name for page in PYTHON_PAGES} >= {"README.md", "python.md"}
    assert {page.name for page in CALL_PAGES} >= {"README.md", "tools.md"}


@pytest.mark.parametrize("page", PYTHON_PAGES, ids=lambda page: page.name)
def test_python_examples_run(page, tmp_path):
    done = subprocess.run([sys.executable, "-"], input=python_program(page), cwd=tmp_path,
                          capture_output=True, encoding="utf-8", check=False)
    assert done.returncode == 0, done.stderr


@pytest.mark.parametrize("page", CALL_PAGES, ids=lambda page: page.name)
def test_ostrel_call_examples_print_what_they_show(page, tmp_path):
    for script, shown in shell_calls(page):
        done = subprocess.run([str(BIN / "ostrel-call"), "-"], input=script, cwd=tmp_path,
                              capture_output=True, encoding="utf-8", check=False)
        assert done.stdout == shown, f"{script}{done.stderr}"
