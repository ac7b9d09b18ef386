"""Reading files with handlers written in Python."""
import pytest

import ostrel
from conftest import SOURCE, dump_events, write_cp932

CORPUS = sorted((SOURCE / "fuzz" / "corpus" / "read_file").iterdir()) + [SOURCE / "memoapp" / "sample" / "memo.xml"]


class Recorder:
    """Records each callback as ostrel-dump prints it."""

    def __init__(self):
        self.events = []

    def StartElement(self, tagname, parmList):
        self.events.append({"call": "StartElement", "tagname": tagname,
                            "parmList": [list(pair) for pair in parmList.items()]})

    def contentData(self, tagname, contentData):
        self.events.append({"call": "contentData", "tagname": tagname, "contentData": contentData})

    def EndElement(self, tagname):
        self.events.append({"call": "EndElement", "tagname": tagname})

    def ErrElement(self, ln, msg, content):
        self.events.append({"call": "ErrElement", "ln": ln, "msg": msg, "content": content})


def read_events(path):
    recorder = Recorder()
    try:
        result = ostrel.Dispatch("Ostrel.CXmlReader").SetData(str(path), recorder)
        recorder.events.append({"call": "SetData", "result": result})
    except ostrel.Error as error:
        recorder.events.append({"call": "SetData", "error": error.number, "description": error.description})
    return recorder.events


@pytest.mark.parametrize("path", CORPUS, ids=lambda path: path.name)
def test_a_python_handler_sees_what_ostrel_dump_prints(path, message_boxes):
    assert read_events(path) == dump_events(path)


def test_the_memo_reader_of_the_example(folder):
    write_cp932("memo.xml", "<Memo>", '\t<sentence Title="買い物">牛乳 &gt; パン</sentence>', "\t<sentence>無題</sentence>",
                "</Memo>")

    class Memos:
        def __init__(self): self.memos, self.title = [], ""
        def StartElement(self, tagname, parmList):
            if tagname == "sentence": self.title = parmList["title"] if "title" in parmList else ""
        def contentData(self, tagname, contentData):
            if tagname == "sentence": self.memos.append((self.title, contentData))
        def EndElement(self, tagname): pass
        def ErrElement(self, ln, msg, content): raise AssertionError(msg)

    h = Memos()
    assert ostrel.Dispatch("Ostrel.CXmlReader").SetData("memo.xml", h) == 0
    assert h.memos == [("買い物", "牛乳 > パン"), ("", "無題")]


def test_missing_methods_do_nothing_and_names_match_in_any_case(folder):
    write_cp932("a.xml", "<a x='1'>t</a>")

    class OnlyContent:
        def __init__(self): self.seen = []
        def CONTENTDATA(self, tagname, text): self.seen.append((tagname, text))

    handler = OnlyContent()
    assert ostrel.Dispatch("Ostrel.CXmlReader").SetData("a.xml", handler) == 0
    assert handler.seen == [("a", "t"), ("", "")]
    assert ostrel.Dispatch("Ostrel.CXmlReader").SetData("a.xml", object()) == 0


def test_parm_list_is_a_view_of_the_readers_collection(folder):
    write_cp932("a.xml", '<a x="1" Y=\'2\' z=3 w="">')
    seen = {}

    def start(tagname, parmList):
        seen.update(length=len(parmList), has_y="y" in parmList, has_q="q" in parmList, x=parmList["X"],
                    second=parmList[2], last=parmList[len(parmList)], items=parmList.items())
        with pytest.raises(KeyError):
            parmList["q"]
        with pytest.raises(IndexError):
            parmList[0]
        with pytest.raises(TypeError):
            list(parmList)

    handler = type("Handler", (), {"StartElement": staticmethod(start)})()
    ostrel.Dispatch("Ostrel.CXmlReader").SetData("a.xml", handler)
    assert seen == {"length": 4, "has_y": True, "has_q": False, "x": "1", "second": "'2'", "last": "",
                    "items": [("x", "1"), ("Y", "'2'"), ("z", "3"), ("w", "")]}


def test_parm_list_used_after_its_callback_fails_clearly(folder):
    write_cp932("a.xml", '<a x="1"><b y="2"/></a>')

    class Keeper:
        def __init__(self): self.lists, self.counts = [], []
        def StartElement(self, tagname, parmList):
            self.lists.append(parmList)
            self.counts.append(parmList.Count)

    keeper = Keeper()
    assert ostrel.Dispatch("Ostrel.CXmlReader").SetData("a.xml", keeper) == 0
    for use in (len, lambda view: view["x"], lambda view: view[1], lambda view: "x" in view,
                lambda view: view.items(), lambda view: view.Count()):
        with pytest.raises(ValueError, match="only during the StartElement call"):
            use(keeper.lists[0])
    with pytest.raises(ValueError, match="only during the StartElement call"):
        keeper.counts[1]()


def test_a_handler_exception_ends_the_read_and_frees_the_file(folder):
    write_cp932("a.xml", "<a>", "<b>text</b>", "</a>")

    class Failing:
        def __init__(self): self.calls = []
        def StartElement(self, tagname, parmList):
            self.calls.append(tagname)
            if tagname == "b": raise LookupError("no b here")

    handler = Failing()
    with pytest.raises(LookupError, match="no b here") as raised:
        ostrel.Dispatch("Ostrel.CXmlReader").SetData("a.xml", handler)
    assert handler.calls == ["a", "b"]
    assert raised.value.ostrel_error.number == 440
    assert "LookupError: no b here" in raised.value.ostrel_error.description
    assert raised.traceback[-1].name == "StartElement"
    # The reader closed its file: the library's single file slot is free.
    assert ostrel.Dispatch("Ostrel.CXmlWriter").XmlOpen("b.xml") is True


def test_a_handler_may_call_ostrel_again_and_its_errors_stay_its_own(folder):
    write_cp932("a.xml", "<a/>")
    outcome = []

    class Nested:
        def StartElement(self, tagname, parmList):
            keys = ostrel.Collection()
            with pytest.raises(ostrel.Error) as raised:
                ostrel.Dispatch("Ostrel.CXmlReader").setKeyList('t k="1" K="2"', "", keys)
            outcome.append((raised.value.number, keys.items()))

    assert ostrel.Dispatch("Ostrel.CXmlReader").SetData("a.xml", Nested()) == 0
    assert outcome == [(457, [("k", "1")])]


def test_missing_file_shows_its_message_and_returns_minus_one(folder, message_boxes):
    assert ostrel.Dispatch("Ostrel.CXmlReader").SetData("none.xml", Recorder()) == -1
    assert message_boxes == [("XMLファイル (none.xml）のオープンに失敗しました。", "Ostrel")]


def test_a_handler_whose_lookup_fails_otherwise_than_by_absence_fails_the_call(folder):
    write_cp932("a.xml", "<a/>")

    class Absent:
        def __getattr__(self, name):
            raise AttributeError(name)

    class Broken:
        def __getattr__(self, name):
            raise RuntimeError("lookup broke")

    reader = ostrel.Dispatch("Ostrel.CXmlReader")
    assert reader.SetData("a.xml", Absent()) == 0
    with pytest.raises(RuntimeError, match="lookup broke"):
        reader.SetData("a.xml", Broken())
    assert reader.SetData("a.xml", Absent()) == 0, "the failed call left the file slot taken"
