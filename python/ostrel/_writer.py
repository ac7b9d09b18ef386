"""ostrel.Writer: a memo file written line by line, closed at the end of a
with block, failing with exceptions instead of message boxes and False."""
from __future__ import annotations

import os

from ostrel._errors import Error
from ostrel._native import Dispatch, set_message_box, take_error_info

# typing is for mypy alone: importing it would slow down every import ostrel.
TYPE_CHECKING = False
if TYPE_CHECKING:
    from types import TracebackType
    from typing import Optional, Union

    FileName = Union[str, bytes, os.PathLike[str], os.PathLike[bytes]]

# Each call writes one line (a comment two): a line end or other control
# character in a text would split or corrupt it. A tab is indentation.
_CONTROLS = dict.fromkeys([*range(0x00, 0x09), *range(0x0A, 0x20), 0x7F])


def _checked(*texts: str) -> None:
    for text in texts:
        if not isinstance(text, str):
            raise TypeError(f"expected a str, not {type(text).__name__}")
        if text.translate(_CONTROLS) != text:
            found = next(character for character in text if ord(character) in _CONTROLS)
            raise ValueError(f"a line of a memo file cannot hold the control character U+{ord(found):04X}")


class Writer:
    """Writes the memo file PATH (str, bytes or os.PathLike) through
    Ostrel.CXmlWriter: its header at once, then one line per call.

    Opening fails with the OSError Python raises for the cause (also an
    ostrel.Error carrying the run-time error's number), or ostrel.Error 55
    while another reader or writer of the library has a file open. No message
    box is shown. The file is complete when close() returns or the with block
    ends; a Writer collected while open closes its file too.
    """

    __slots__ = ("_writer", "name")

    def __init__(self, path: FileName) -> None:
        self.name = os.fsdecode(path)
        self._writer: Optional[Dispatch] = None
        writer = Dispatch("Ostrel.CXmlWriter")
        take_error_info()
        shown: list[str] = []
        previous = set_message_box(lambda text, caption: shown.append(text))
        try:
            opened = writer.XmlOpen(self.name)
        finally:
            set_message_box(previous)
        if not opened:
            error = take_error_info()
            raise error if error else Error(75, shown[0] if shown else "the file could not be opened", self.name)
        self._writer = writer

    def _open(self) -> Dispatch:
        if self._writer is None:
            raise ValueError("I/O operation on a closed memo file")
        return self._writer

    def comment(self, text: str) -> None:
        """Writes the line "<!--  TEXT  -->" and an empty line."""
        _checked(text)
        self._open().WriteComment(text)

    def element(self, indent: int, start_tag: str, content: str, end_tag: str) -> None:
        """Writes INDENT tabs, START_TAG, CONTENT with >, < and " escaped, and
        END_TAG as one line. Tags are written as given."""
        _checked(start_tag, content, end_tag)
        self._open().WriteSetEllement(indent, start_tag, content, end_tag)

    def line(self, indent: int, text: str) -> None:
        """Writes INDENT tabs and TEXT as given, as one line."""
        _checked(text)
        self._open().WriteOneEllement(indent, text)

    def close(self) -> None:
        """Closes the file; closing a closed Writer does nothing."""
        writer, self._writer = self._writer, None
        if writer is not None:
            writer.XmlClose()

    def __enter__(self) -> "Writer":
        return self

    def __exit__(self, kind: Optional[type[BaseException]], value: Optional[BaseException],
                 traceback: Optional[TracebackType]) -> None:
        self.close()

    def __repr__(self) -> str:
        return f"<ostrel.Writer {self.name!r}{'' if self._writer else ' (closed)'}>"
