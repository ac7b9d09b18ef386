"""Objects of the module's classes made without their constructors
(T.__new__(T)): every use raises TypeError and none crashes the
interpreter. Each use runs in a Python of its
own, so that a crash fails its case instead of ending the run."""
import subprocess
import sys

import pytest

MADE = {
    "Dispatch": "ostrel.Dispatch.__new__(ostrel.Dispatch)",
    "Collection": "ostrel.Collection.__new__(ostrel.Collection)",
    "Operation": "(lambda T: T.__new__(T))(type(ostrel.Dispatch('Ostrel.CXmlWriter').XmlOpen))",
    "Ref": "ostrel.Ref.__new__(ostrel.Ref)",
}

USES = [
    ("Dispatch", "repr(o)"),
    ("Dispatch", "o.XmlOpen"),
    ("Dispatch", "ostrel.Dispatch('Ostrel.CXmlReader').setKeyList('a', '', o)"),
    ("Dispatch", "ostrel.Dispatch('Ostrel.CXmlReader').setKeyList('a', '', ostrel.Ref(o))"),
    ("Collection", "len(o)"),
    ("Collection", "'x' in o"),
    ("Collection", "o['x']"),
    ("Collection", "o[1]"),
    ("Collection", "o.items()"),
    ("Collection", "repr(o)"),
    ("Collection", "o.Count"),
    ("Collection", "ostrel.Dispatch('Ostrel.CXmlReader').setKeyList('a x=1', '', o)"),
    ("Operation", "o()"),
    ("Operation", "repr(o)"),
    ("Ref", "o.value"),
    ("Ref", "setattr(o, 'value', 1)"),
    ("Ref", "repr(o)"),
    ("Ref", "ostrel.Dispatch('Ostrel.CXmlWriter').WriteOneEllement(o, 'x')"),
]

CHILD = """
import ostrel
o = {made}
try:
    {use}
except TypeError as error:
    print("TypeError:", error)
else:
    print("no error")
"""


@pytest.mark.parametrize("kind, use", USES, ids=[f"{kind}: {use}" for kind, use in USES])
def test_use_raises_type_error(kind, use):
    done = subprocess.run([sys.executable, "-c", CHILD.format(made=MADE[kind], use=use)], capture_output=True,
                          encoding="utf-8", check=False)
    assert done.returncode == 0, done.stderr
    assert done.stdout.startswith("TypeError:") and "without its constructor" in done.stdout, done.stdout
