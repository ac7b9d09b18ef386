"""import ostrel loads what reading needs and no more; the rest of the
package comes when first asked for, as if it had been there all along."""
import subprocess
import sys

import pytest


def run_python(program):
    done = subprocess.run([sys.executable, "-c", program], capture_output=True, encoding="utf-8", check=True)
    return done.stdout.split()


def test_import_loads_only_what_reading_needs():
    loaded = run_python("import sys, ostrel; print(*sorted(m for m in sys.modules if m.startswith('ostrel')))")
    assert loaded == ["ostrel", "ostrel._native", "ostrel._reading"]


# How a program may come to a name that is imported when first asked for.
LATER_NAMES = {
    "attribute": "import ostrel; print(ostrel.Error.__name__, ostrel.Writer.__name__)",
    "from import": "from ostrel import Error, Writer; print(Error.__name__, Writer.__name__)",
    "star import": "from ostrel import *; print(Error.__name__, Writer.__name__)",
    "raised by a read": "import ostrel\ntry: ostrel.read('no such file')\nexcept ostrel.Error as e: print('Error', e.number)",
}


@pytest.mark.parametrize("program", LATER_NAMES.values(), ids=LATER_NAMES.keys())
def test_names_imported_later_are_there_when_asked_for(program, folder):
    assert run_python(program)[0] == "Error"


def test_dir_lists_names_not_yet_imported_and_unknown_names_fail():
    assert run_python("import ostrel; print('Error' in dir(ostrel), 'Writer' in dir(ostrel))") == ["True", "True"]
    with pytest.raises(AttributeError, match="no attribute 'Nope'"):
        __import__("ostrel").Nope
