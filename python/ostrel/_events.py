"""The events ostrel.read gives, one per callback a handler would receive.

Named tuples, so they unpack, compare and match (``case Start(name, attrs)``)
like any tuple; the native module makes them without calling Python.
"""
from __future__ import annotations

from typing import NamedTuple, Union


class Start(NamedTuple):
    """A start tag (StartElement): its name and its attributes, in tag order,
    values without their quotation marks. Keys are as written; the reader
    refuses two that differ only in case."""

    name: str
    attributes: dict[str, str]


class Content(NamedTuple):
    """The text of element NAME (contentData), its references decoded. The
    read ends with one whose name and text are empty."""

    name: str
    text: str


class End(NamedTuple):
    """The end of element NAME (EndElement)."""

    name: str


class Fault(NamedTuple):
    """The reader's first nesting fault (ErrElement); the read ends with it.
    POSITION counts the tokens read up to the fault, this one included."""

    position: int
    message: str
    content: str


Event = Union[Start, Content, End, Fault]
