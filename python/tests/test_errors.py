"""How failures reach Python: run-time error numbers as exceptions of the
kind Python raises for the same cause, still ostrel.Error with the number."""
import builtins
import errno

import pytest

import ostrel

# number -> the built-in exception it is also, and the errno it carries.
BY_NUMBER = [
    (53, builtins.FileNotFoundError, errno.ENOENT),
    (76, builtins.FileNotFoundError, errno.ENOENT),
    (70, builtins.PermissionError, errno.EACCES),
    (61, builtins.OSError, errno.ENOSPC),
    (57, builtins.OSError, errno.EIO),
    (52, builtins.OSError, errno.EINVAL),
    (75, builtins.OSError, None),
    (6, builtins.OverflowError, None),
    (13, builtins.TypeError, None),
    (450, builtins.TypeError, None),
    (55, None, None),  # the library's one file slot is taken: its own state
    (457, None, None),
    (5, None, None),
]


@pytest.mark.parametrize("number, also, code", BY_NUMBER, ids=[str(case[0]) for case in BY_NUMBER])
def test_each_number_is_also_the_exception_python_raises_for_it(number, also, code):
    error = ostrel.Error(number, "説明", "memo.xml")
    assert isinstance(error, ostrel.Error)
    assert (error.number, error.description, str(error)) == (number, "説明", f"{number}: 説明")
    if also is None:
        assert type(error) is ostrel.Error
        return
    assert isinstance(error, also)
    assert type(error).__name__ == also.__name__
    if issubclass(also, OSError):
        assert (error.errno, error.strerror, error.filename) == (code, "説明", "memo.xml")


def test_errors_from_calls_are_mapped_too(folder):
    with ostrel.Dispatch("Ostrel.CXmlWriter") as w:
        w.XmlOpen("a.xml")
        with pytest.raises(OverflowError) as raised:
            w.WriteOneEllement(70000, "<a/>")
    assert raised.value.number == 6


# (what, the file name given, the exception, the run-time error number)
WRITER_OPEN_FAILURES = [
    ("no such folder", lambda folder: folder / "none" / "memo.xml", FileNotFoundError, 76),
    ("a folder", lambda folder: folder, OSError, 75),
    ("refused", lambda folder: "/sys/kernel/notes", PermissionError, 70),
    ("empty name", lambda folder: "", OSError, 52),
]


@pytest.mark.parametrize("what, name, kind, number", WRITER_OPEN_FAILURES, ids=[c[0] for c in WRITER_OPEN_FAILURES])
def test_a_writer_that_cannot_open_raises_the_cause_without_a_message_box(folder, message_boxes, what, name, kind,
                                                                            number):
    with pytest.raises(kind) as raised:
        ostrel.Writer(name(folder))
    assert raised.value.number == number
    assert message_boxes == []


def test_a_writer_while_the_slot_is_taken_raises_error_55(folder, message_boxes):
    with ostrel.Writer("first.xml"):
        with pytest.raises(ostrel.Error) as raised:
            ostrel.Writer("second.xml")
    assert raised.value.number == 55
    assert not isinstance(raised.value, OSError)
    assert message_boxes == []
