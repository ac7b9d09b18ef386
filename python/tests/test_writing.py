"""Writing files from Python: the same bytes as ostrel-call, a writer released
with its file open, message boxes."""
import subprocess
import sys
import weakref

import pytest

import ostrel
from conftest import BUILD, run_tool

HEADER_LINES = 6


def timestamp_line(data):
    """The header line that holds the clock's date and time."""
    return data.split(b"\r\n")[HEADER_LINES - 2]


def write_from_python(path):
    w = ostrel.Dispatch("Ostrel.CXmlWriter")
    assert w.XmlOpen(str(path)) is True
    assert w.WriteComment("メモ <一覧>") is True
    assert w.WriteOneEllement(0, "<Memo>") is True
    assert w.WriteSetEllement(1, '<sentence Title="a">', 'x < y > "z" &amp;', "</sentence>") is True
    assert w.writesetellement(2, "<b>", "", "</b>") is True
    assert w.WriteOneEllement(-3, "</Memo>") is True
    assert w.XmlClose() is True


def write_with_ostrel_call(path):
    script = "\n".join([
        '["new", "w", "Ostrel.CXmlWriter"]',
        f'["call", "w", "XmlOpen", "{path}"]',
        '["call", "w", "WriteComment", "メモ <一覧>"]',
        '["call", "w", "WriteOneEllement", {"i2": 0}, "<Memo>"]',
        '["call", "w", "WriteSetEllement", {"i2": 1}, "<sentence Title=\\"a\\">", '
        '"x < y > \\"z\\" &amp;", "</sentence>"]',
        '["call", "w", "WriteSetEllement", {"i2": 2}, "<b>", "", "</b>"]',
        '["call", "w", "WriteOneEllement", {"i2": -3}, "</Memo>"]',
        '["call", "w", "XmlClose"]',
    ])
    status, lines = run_tool("ostrel-call", "-", stdin=script)
    assert status == 0, lines


def written_in_one_second(folder, write_ours, write_theirs):
    """The bytes each writer wrote. The header holds the time to the second:
    the two files are compared once both were written within the same one."""
    for _ in range(5):
        write_ours(folder / "ours.xml")
        write_theirs(folder / "theirs.xml")
        ours, theirs = (folder / "ours.xml").read_bytes(), (folder / "theirs.xml").read_bytes()
        if timestamp_line(ours) == timestamp_line(theirs):
            break
    return ours, theirs


def test_python_writes_the_bytes_ostrel_call_writes(folder):
    ours, theirs = written_in_one_second(folder, write_from_python, write_with_ostrel_call)
    assert ours == theirs
    assert b'\t<sentence Title="a">x &lt; y &gt; &quot;z&quot; &amp;</sentence>\r\n' in ours


def test_releasing_a_writer_with_its_file_open_leaves_the_file_complete(folder):
    w = ostrel.Dispatch("Ostrel.CXmlWriter")
    w.XmlOpen("memo.xml")
    w.WriteOneEllement(0, "<Memo>")
    w.WriteOneEllement(0, "</Memo>")
    del w
    assert (folder / "memo.xml").read_bytes().endswith(b"\r\n<Memo>\r\n</Memo>\r\n")
    # The file slot is free again: the next writer opens at once.
    assert ostrel.Dispatch("Ostrel.CXmlWriter").XmlOpen("next.xml") is True


def test_a_writer_still_held_when_python_exits_completes_its_file(folder):
    script = ("import ostrel\n"
              "w = ostrel.Dispatch('Ostrel.CXmlWriter')\n"
              "w.XmlOpen('memo.xml')\n"
              "w.WriteOneEllement(0, '<Memo/>')\n")
    subprocess.run([sys.executable, "-c", script], check=True, cwd=folder)
    assert (folder / "memo.xml").read_bytes().endswith(b"\r\n<Memo/>\r\n")


def test_message_boxes_go_to_stderr_with_the_caption_by_default(folder, capsys):
    assert ostrel.Dispatch("Ostrel.CXmlWriter").XmlClose() is False
    assert capsys.readouterr().err == "Ostrel: XMLファイルはまだオープンされていません。\n"


def test_a_message_box_function_receives_text_and_caption(folder, message_boxes, capsys):
    w = ostrel.Dispatch("Ostrel.CXmlWriter")
    assert w.XmlOpen("a.xml") is True
    assert w.XmlOpen("b.xml") is False
    assert message_boxes == [("b.xmlはすでにオープンされています。", "Ostrel")]
    assert capsys.readouterr().err == ""


def test_an_exception_in_the_message_box_function_comes_out_of_the_call(folder):
    def refuse(text, caption):
        raise RuntimeError("no boxes here")

    ostrel.set_message_box(refuse)
    try:
        with pytest.raises(RuntimeError, match="no boxes here"):
            ostrel.Dispatch("Ostrel.CXmlWriter").XmlClose()
    finally:
        ostrel.set_message_box(None)
    with pytest.raises(TypeError):
        ostrel.set_message_box("not a function")


def write_with_writer(path):
    with ostrel.Writer(path) as w:
        w.comment("メモ <一覧>")
        w.line(0, "<Memo>")
        w.element(1, '<sentence Title="a">', 'x < y > "z" &amp;', "</sentence>")
        w.element(2, "<b>", "", "</b>")
        w.line(-3, "</Memo>")


def test_the_writer_writes_what_the_component_writes(folder):
    ours, theirs = written_in_one_second(folder, write_with_writer, write_from_python)
    assert ours == theirs


def test_a_closed_writer_refuses_to_write_and_closes_again_quietly(folder, message_boxes):
    w = ostrel.Writer("a.xml")
    w.close()
    w.close()
    for write in (lambda: w.comment("c"), lambda: w.line(0, "<a/>"), lambda: w.element(0, "<a>", "", "</a>")):
        with pytest.raises(ValueError, match="closed"):
            write()
    assert message_boxes == []
    assert "(closed)" in repr(w)


def test_a_writer_collected_while_open_completes_its_file(folder):
    w = ostrel.Writer("a.xml")
    w.line(0, "<a/>")
    del w
    assert (folder / "a.xml").read_bytes().endswith(b"\r\n<a/>\r\n")
    assert ostrel.Dispatch("Ostrel.CXmlWriter").XmlOpen("b.xml") is True


# Each call writes one line: a text that would split it or hide a control
# character in the file is refused before anything is written.
REFUSED_TEXTS = ["two\r\nlines", "line\nend", "nul\0", "escape\x1b", "delete\x7f"]


@pytest.mark.parametrize("text", REFUSED_TEXTS, ids=repr)
def test_control_characters_are_refused_and_nothing_is_written(folder, text):
    with ostrel.Writer("a.xml") as w:
        for write in (lambda: w.comment(text), lambda: w.line(0, text), lambda: w.element(0, "<a>", text, "</a>"),
                      lambda: w.element(0, text, "", "</a>")):
            with pytest.raises(ValueError, match="control character"):
                write()
        w.line(1, "<tab\tinside/>")
    body = (folder / "a.xml").read_bytes().split(b"\r\n")[HEADER_LINES:]
    assert body == [b"\t<tab\tinside/>", b""]


# (what, call, the exception, the run-time error number)
WRITE_FAILURES = [
    ("indent beyond 16 bits", lambda w: w.line(40000, "<a/>"), OverflowError, 6),
    ("no CP932 character", lambda w: w.line(0, "\U0001F600"), ostrel.Error, 5),
    ("not a str", lambda w: w.line(0, 5), TypeError, None),
]


@pytest.mark.parametrize("what, call, kind, number", WRITE_FAILURES, ids=[c[0] for c in WRITE_FAILURES])
def test_a_failed_write_raises_and_the_writer_goes_on(folder, what, call, kind, number):
    with ostrel.Writer("a.xml") as w:
        with pytest.raises(kind) as raised:
            call(w)
        assert getattr(raised.value, "number", None) == number
        w.line(0, "<after/>")
    assert (folder / "a.xml").read_bytes().endswith(b"\r\n<after/>\r\n")


def test_set_message_box_none_restores_stderr_and_lets_the_function_go(folder, capsys):
    class Shower:
        def __init__(self):
            self.shown = []

        def __call__(self, text, caption):
            self.shown.append(text)

    shower = Shower()
    ostrel.set_message_box(shower)
    ostrel.Dispatch("Ostrel.CXmlWriter").XmlClose()
    assert shower.shown == ["XMLファイルはまだオープンされていません。"]
    gone = weakref.ref(shower)
    ostrel.set_message_box(None)
    del shower
    assert gone() is None, "the old function is still held"
    ostrel.Dispatch("Ostrel.CXmlWriter").XmlClose()
    assert capsys.readouterr().err == "Ostrel: XMLファイルはまだオープンされていません。\n"
