"""A client of ostrel with complete annotations, as an application would be
written: mypy --strict checks it against the package's type information
(CTest python.mypy), and test_typed_client runs it.

typed_client.py FOLDER  writes, reads and parses a memo file in FOLDER and
prints what it found as one line."""
import inspect
import pathlib
import sys
from typing import Optional

import ostrel


def write_memos(path: pathlib.Path, memos: list[tuple[str, str]]) -> None:
    with ostrel.Writer(path) as writer:
        writer.comment("memos")
        writer.line(0, "<Memo>")
        for title, text in memos:
            writer.element(1, f'<sentence Title="{title}">', text, "</sentence>")
        writer.line(0, "</Memo>")


def read_memos(path: pathlib.Path) -> list[tuple[str, str]]:
    memos: list[tuple[str, str]] = []
    title = ""
    with ostrel.read(path) as events:
        for event in events:
            match event:
                case ostrel.Start("sentence", attributes):
                    title = attributes.get("Title", "")
                case ostrel.Content("sentence", text):
                    memos.append((title, text))
                case ostrel.Fault(position, message, _):
                    raise ValueError(f"token {position}: {message}")
    return memos


class StartCounter:
    """A handler in the callback style: only the callbacks it wants."""

    def __init__(self) -> None:
        self.titles: list[str] = []

    def StartElement(self, tagname: str, parmList: ostrel.Collection) -> None:
        if "title" in parmList:
            self.titles.append(parmList["title"])


def titles_by_callback(path: pathlib.Path) -> list[str]:
    counter = StartCounter()
    ostrel.parse(path, counter)
    return counter.titles


def split_tag(text: str) -> tuple[bool, str, dict[str, str]]:
    with ostrel.Dispatch("Ostrel.CXmlReader") as reader:
        rest, name, keys = ostrel.Ref(text), ostrel.Ref(""), ostrel.Collection()
        split = bool(reader.setKeyList(rest, name, keylist=keys))
        return split, str(name.value), dict(keys.items())


def missing_file_number(path: pathlib.Path) -> Optional[int]:
    try:
        ostrel.read(path)
    except FileNotFoundError as error:
        assert isinstance(error, ostrel.Error)
        return error.number
    return None


def main(folder: pathlib.Path) -> str:
    path = folder / "memo.xml"
    write_memos(path, [("買い物", "牛乳 > パン"), ("todo", "x < y")])
    parameters = list(inspect.signature(ostrel.Dispatch("Ostrel.CXmlReader").SetData).parameters)
    return repr((read_memos(path), titles_by_callback(path), split_tag('a x="1"'), parameters,
                 missing_file_number(folder / "none.xml")))


if __name__ == "__main__":
    print(main(pathlib.Path(sys.argv[1])))
