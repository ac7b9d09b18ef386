"""ostrel.Error: a run-time error's number and description, as an exception.

Like OSError, whose constructor picks a subclass by errno, Error picks one by
the run-time error's number, so that a file error is also the OSError
subclass Python raises for that cause and a wrong argument is also a
TypeError: ``except FileNotFoundError`` and ``except ostrel.Error`` both
catch a missing file, and ``.number`` stays the component's own.
"""
from __future__ import annotations

import builtins
import errno

# typing is for mypy alone: importing it would slow down every import ostrel.
TYPE_CHECKING = False
if TYPE_CHECKING:
    from typing import Any, Optional


class Error(Exception):
    """A failed call: the run-time error's number and description."""

    number: int
    description: str

    def __new__(cls, number: int, description: str, filename: Optional[str] = None) -> "Error":
        kind, code = _BY_NUMBER.get(number, (Error, 0))
        if cls is Error:
            cls = kind
        # OSError's own constructor reads (errno, strerror, filename).
        arguments: tuple[Any, ...] = (number, description)
        if issubclass(cls, builtins.OSError):
            arguments = (code, description, filename) if code else (description,)
        return super().__new__(cls, *arguments)

    def __init__(self, number: int, description: str, filename: Optional[str] = None) -> None:
        super().__init__(number, description)
        self.number = number
        self.description = description
        if isinstance(self, builtins.OSError):
            self.strerror = description
            self.filename = filename

    def __str__(self) -> str:
        return f"{self.number}: {self.description}"

    def __reduce__(self) -> tuple[Any, ...]:
        return (Error, (self.number, self.description, getattr(self, "filename", None)))


def _kind(base: type[BaseException]) -> type[Error]:
    """The Error that is also BASE, named as BASE is."""
    return type(base.__name__, (Error, base), {"__module__": __name__, "__doc__": f"ostrel.Error and {base.__name__}."})


FileNotFoundError = _kind(builtins.FileNotFoundError)
PermissionError = _kind(builtins.PermissionError)
OSError = _kind(builtins.OSError)
OverflowError = _kind(builtins.OverflowError)
TypeError = _kind(builtins.TypeError)

# Run-time error number -> (the class raised, errno for the OSError ones).
# The slot being taken (55) is the library's own state, not an OS error.
_BY_NUMBER: dict[int, tuple[type[Error], int]] = {
    6: (OverflowError, 0),  # a number beyond its 16- or 32-bit type
    13: (TypeError, 0),  # a value of the wrong type
    450: (TypeError, 0),  # a wrong number of arguments
    52: (OSError, errno.EINVAL),  # an empty or overlong file name
    53: (FileNotFoundError, errno.ENOENT),  # no such file (reading)
    76: (FileNotFoundError, errno.ENOENT),  # no such folder (writing)
    70: (PermissionError, errno.EACCES),
    57: (OSError, errno.EIO),
    61: (OSError, errno.ENOSPC),
    75: (OSError, 0),  # any other refusal: a folder, a loop of links...
}
