"""Ostrel's memo files from Python.

    with ostrel.Writer("memo.xml") as w:
        w.element(1, '<sentence Title="todo">', "milk > bread", "</sentence>")
    for event in ostrel.read("memo.xml"):      # Start, Content, End, Fault
        ...

Errors are exceptions: ostrel.Error carries the run-time error's number and
description, and is also the OSError subclass (FileNotFoundError,
PermissionError...) or TypeError Python raises for the same cause.

Underneath, every class of the component model is at hand late-bound:

    w = ostrel.Dispatch("Ostrel.CXmlWriter")   # a ProgID, or "{CLSID}"
    w.XmlOpen("memo.xml")                      # operations by name, any case
    del w                                      # or a with block: releases it

Plain arguments go to the callee by reference to temporaries, so its changes
are dropped; pass an ostrel.Ref to see them. A Python object passed where a
handler is expected receives the reader's callbacks by name.
"""
from ostrel._native import Collection, Content, Dispatch, End, Events, Fault, Ref, Start, set_message_box
from ostrel._reading import parse, read

# Any event: a Union for annotations, a tuple for isinstance at run time.
TYPE_CHECKING = False
if TYPE_CHECKING:
    from ostrel._errors import Error
    from ostrel._native import Event
    from ostrel._writer import Writer
else:
    Event = (Start, Content, End, Fault)

# The classes show as ostrel's own in reprs, signatures and tracebacks.
for _class in (Collection, Dispatch, Events, Ref):
    _class.__module__ = __name__
del _class

__all__ = ["Collection", "Content", "Dispatch", "End", "Error", "Event", "Events", "Fault", "Ref", "Start", "Writer",
           "parse", "read", "set_message_box"]

# Imported when first asked for: a program that only reads pays for neither
# at start-up, and every module loaded costs a reader of a small file a
# noticeable part of its time.
_LATER = {"Error": "ostrel._errors", "Writer": "ostrel._writer"}


def __getattr__(name: str) -> object:
    if name not in _LATER:
        raise AttributeError(f"module 'ostrel' has no attribute {name!r}")
    import importlib
    value = getattr(importlib.import_module(_LATER[name]), name)
    globals()[name] = value
    return value


def __dir__() -> list[str]:
    return sorted({*globals(), *__all__})
