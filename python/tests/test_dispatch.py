"""ostrel.Dispatch as a Python object: what dir(), help() and
inspect.signature show, arguments by name, wrong calls as TypeError, with
blocks and path-like file names."""
import inspect
import os
import pathlib

import pytest

import ostrel
from conftest import write_cp932

SIGNATURES = [
    ("Ostrel.CXmlWriter", "XmlOpen", "(filename: str) -> bool"),
    ("Ostrel.CXmlWriter", "WriteComment", "(comment: str) -> bool"),
    ("Ostrel.CXmlWriter", "WriteSetEllement", "(indentNo: int, startTag: str, contentData: str, endTag: str) -> bool"),
    ("Ostrel.CXmlWriter", "WriteOneEllement", "(indentNo: int, ellement: str) -> bool"),
    ("Ostrel.CXmlWriter", "XmlClose", "() -> bool"),
    ("Ostrel.CXmlReader", "setKeyList", "(strbuf: str, tagname: str, keylist: ostrel.Collection) -> bool"),
    ("Ostrel.CXmlReader", "SetData", "(filename: str, handle: object) -> int"),
    ("Ostrel.IXmlHandler", "ErrElement", "(ln: int, msg: str, content: str) -> None"),
    ("Ostrel.IXmlHandler", "StartElement", "(tagname: str, parmList: ostrel.Collection) -> None"),
    ("Ostrel.IXmlHandler", "EndElement", "(tagname: str) -> None"),
    ("Ostrel.IXmlHandler", "contentData", "(tagname: str, contentData: str) -> None"),
]


@pytest.mark.parametrize("progid, name, signature", SIGNATURES, ids=lambda value: str(value))
def test_each_operation_has_its_signature_and_a_docstring(progid, name, signature):
    operation = getattr(ostrel.Dispatch(progid), name.lower())  # any case finds it, named as declared
    assert str(inspect.signature(operation)) == signature
    assert operation.__doc__.startswith(name + signature + "\n")


def test_the_handler_argument_says_what_serves_as_one():
    assert "handle: a handler. Any Python object serves" in ostrel.Dispatch("Ostrel.CXmlReader").SetData.__doc__


@pytest.mark.parametrize("progid", sorted({progid for progid, _, _ in SIGNATURES}))
def test_dir_lists_the_operations(progid):
    declared = {name for each, name, _ in SIGNATURES if each == progid}
    listed = set(dir(ostrel.Dispatch(progid)))
    assert declared <= listed
    assert "__enter__" in listed


def test_arguments_go_by_name_in_any_case(folder):
    w = ostrel.Dispatch("Ostrel.CXmlWriter")
    assert w.XmlOpen(FileName="a.xml") is True
    assert w.WriteSetEllement(0, endTag="</b>", contentData="x<y", starttag="<b>") is True
    assert w.XmlClose() is True
    assert (folder / "a.xml").read_bytes().endswith(b"<b>x&lt;y</b>\r\n")


WRONG_CALLS = [
    ("too many", lambda w: w.XmlOpen("a.xml", "b.xml"), "takes 1 argument but 2 were given"),
    ("none for one", lambda w: w.XmlOpen(), "missing required argument 'filename'"),
    ("one of four missing", lambda w: w.WriteSetEllement(0, "<a>", "x"), "missing required argument 'endTag'"),
    ("unknown keyword", lambda w: w.XmlOpen(name="a.xml"), "unexpected keyword argument 'name'"),
    ("given twice", lambda w: w.XmlOpen("a.xml", filename="b.xml"), "multiple values for argument 'filename'"),
    ("arguments to none", lambda w: w.XmlClose(1), "takes 0 arguments but 1 were given"),
]


@pytest.mark.parametrize("what, call, message", WRONG_CALLS, ids=[case[0] for case in WRONG_CALLS])
def test_a_wrong_call_is_a_type_error_and_nothing_is_called(folder, message_boxes, what, call, message):
    w = ostrel.Dispatch("Ostrel.CXmlWriter")
    with pytest.raises(TypeError, match=message):
        call(w)
    assert list(folder.iterdir()) == []
    assert message_boxes == []


def test_a_with_block_releases_the_object_at_its_end(folder):
    with ostrel.Dispatch("Ostrel.CXmlWriter") as w:
        operation = w.XmlOpen
        assert operation("a.xml") is True
        w.WriteOneEllement(0, "<last/>")
    # Released: the writer's end of life closed the file, so the slot is free.
    assert (folder / "a.xml").read_bytes().endswith(b"<last/>\r\n")
    assert ostrel.Dispatch("Ostrel.CXmlWriter").XmlOpen("b.xml") is True
    for use in (lambda: w.XmlClose, lambda: operation("c.xml")):
        with pytest.raises(ValueError, match="released at the end of its with block"):
            use()
    assert "withdrawn" in repr(w)


class BytesPath(os.PathLike):
    def __init__(self, path): self.path = path
    def __fspath__(self): return os.fsencode(self.path)


@pytest.mark.parametrize("make", [pathlib.Path, pathlib.PurePosixPath, BytesPath], ids=["Path", "PurePath", "bytes"])
def test_path_like_file_names_are_accepted(folder, make):
    w = ostrel.Dispatch("Ostrel.CXmlWriter")
    assert w.XmlOpen(make(str(folder / "memo.xml"))) is True
    assert w.XmlClose() is True
    write_cp932("in.xml", "<a>t</a>")
    seen = []
    handler = type("H", (), {"contentData": lambda self, tag, text: seen.append(text)})()
    assert ostrel.Dispatch("Ostrel.CXmlReader").SetData(make("in.xml"), handler) == 0
    assert seen == ["t", ""]


def test_an_undecodable_bytes_name_reaches_the_file_system_unchanged(folder):
    name = b"caf\xe9.xml"  # Latin-1, not UTF-8
    w = ostrel.Dispatch("Ostrel.CXmlWriter")
    assert w.XmlOpen(BytesPath(os.fsdecode(name))) is True
    assert w.XmlClose() is True
    assert os.listdir(os.fsencode(folder)) == [name]
