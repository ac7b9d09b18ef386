"""Reading memo files: ostrel.read gives their events, ostrel.parse calls a
handler back as the reader's SetData does."""
import os

from ostrel._native import Dispatch, Events

TYPE_CHECKING = False
if TYPE_CHECKING:
    from ostrel._writer import FileName


def read(path: "FileName") -> Events:
    """The events of the memo file PATH (str, bytes or os.PathLike), in file
    order: Start, Content, End and Fault, one per callback SetData would
    make. FileNotFoundError (also ostrel.Error 53) when there is no such
    file; no message box is shown.

    The iterator holds the library's one file slot, so no other read or
    write can open a file until its last event has been taken, close() is
    called, its with block ends or it is collected.
    """
    return Events(os.fsdecode(path))


def parse(path: "FileName", handler: object) -> None:
    """Reads PATH, calling HANDLER's methods ErrElement, StartElement,
    EndElement and contentData (those it has, found in any case) as
    CXmlReader.SetData does. Fails as read() does, without a message box; an
    exception the handler raises ends the read and comes out of parse."""
    name = os.fsdecode(path)
    # The open's errors as read raises them; SetData itself would show a
    # message box and answer -1.
    Events(name).close()
    if Dispatch("Ostrel.CXmlReader").SetData(name, handler) != 0:
        from ostrel._errors import Error
        raise Error(53, f"{name} vanished before it could be read", name)
