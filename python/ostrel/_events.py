"""The events ostrel.read gives, one per callback a handler would receive.

Named tuples, so they unpack, compare and match (``case Start(name, attrs)``)
like any tuple; the native module makes them without calling Python. Their
types are in _events.pyi.
"""
from collections import namedtuple

Start = namedtuple("Start", ["name", "attributes"], module="ostrel")
Start.__doc__ = """A start tag (StartElement): its name and its attributes, a dict in tag
order, values without their quotation marks. Keys are as written; the reader
refuses two that differ only in case."""

Content = namedtuple("Content", ["name", "text"], module="ostrel")
Content.__doc__ = """The text of element NAME (contentData), its references decoded. The read
ends with one whose name and text are empty."""

End = namedtuple("End", ["name"], module="ostrel")
End.__doc__ = """The end of element NAME (EndElement)."""

Fault = namedtuple("Fault", ["position", "message", "content"], module="ostrel")
Fault.__doc__ = """The reader's first nesting fault (ErrElement); the read ends with it.
POSITION counts the tokens read up to the fault, this one included."""
