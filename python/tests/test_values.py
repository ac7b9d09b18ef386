"""Values across the boundary: texts, integers, Booleans, objects, references,
and the errors calls raise."""
import pytest

import ostrel
from conftest import write_cp932

READER_CLSID = "{3F6A1D21-8C4B-4E2A-B157-200C9E417A11}"


def written_lines(path):
    return path.read_bytes().split(b"\r\n")[6:-1]


def test_ref_sees_what_the_callee_left_and_plain_values_do_not():
    r = ostrel.Dispatch("Ostrel.CXmlReader")
    s, t, keys = ostrel.Ref('a x="1"'), ostrel.Ref(""), ostrel.Collection()
    assert r.setKeyList(s, t, keys) is True
    assert (s.value, t.value, keys["x"]) == ('x="1"', "a", "1")

    plain = 'b y="2"'
    assert r.setKeyList(plain, "", keys) is True
    assert plain == 'b y="2"' and keys["y"] == "2"


def test_ref_shows_the_split_so_far_when_the_call_fails():
    s, t, keys = ostrel.Ref('a x="1" X="2"'), ostrel.Ref(""), ostrel.Ref(ostrel.Collection())
    collection = keys.value
    with pytest.raises(ostrel.Error) as raised:
        ostrel.Dispatch("Ostrel.CXmlReader").setKeyList(s, t, keys)
    assert raised.value.number == 457
    assert str(raised.value) == "457: このキーは既にコレクションの要素に割り当てられています。"
    assert t.value == "a"
    assert keys.value is collection, "an object the callee left in place keeps its identity"
    assert collection.items() == [("x", "1")]


def test_ref_of_a_handler_comes_back_as_the_same_python_object(folder):
    class Handler:
        pass

    handler = Handler()
    ref = ostrel.Ref(handler)
    write_cp932("a.xml", "<a/>")
    assert ostrel.Dispatch("Ostrel.CXmlReader").SetData("a.xml", ref) == 0
    assert ref.value is handler


def test_integers_are_narrowed_by_invoke_and_overflow_is_error_6(folder):
    w = ostrel.Dispatch("Ostrel.CXmlWriter")
    w.XmlOpen("a.xml")
    assert w.WriteOneEllement(2, "two") is True
    assert w.WriteOneEllement(ostrel.Ref(1), "one") is True
    # True is -1 on the wire, which indents nothing; 1 would indent once.
    assert w.WriteOneEllement(True, "true") is True
    # 2**32 + 1 would wrap to 1, which fits a 16-bit parameter.
    for too_big in (32768, -32769, 2**31, 2**32 + 1, 2**80):
        for argument in (too_big, ostrel.Ref(too_big)):
            with pytest.raises(ostrel.Error) as raised:
                w.WriteOneEllement(argument, "never")
            assert raised.value.number == 6
    w.XmlClose()
    assert written_lines(folder / "a.xml") == [b"\t\ttwo", b"\tone", b"true"]


def test_results_come_back_as_python_values(folder):
    write_cp932("a.xml", "<a/>")
    w = ostrel.Dispatch("Ostrel.CXmlWriter")
    assert w.XmlOpen("b.xml") is True and w.XmlClose() is True
    status = ostrel.Dispatch("Ostrel.CXmlReader").SetData("a.xml", ostrel.Dispatch("Ostrel.IXmlHandler"))
    assert type(status) is int and status == 0


def test_none_is_no_object(folder):
    write_cp932("a.xml", "<a/>")
    with pytest.raises(ostrel.Error) as raised:
        ostrel.Dispatch("Ostrel.CXmlReader").SetData("a.xml", None)
    assert raised.value.number == 91
    assert ostrel.Dispatch("Ostrel.CXmlWriter").XmlOpen("b.xml") is True


def test_values_ostrel_cannot_pass_are_refused_by_type():
    for value in (1.5, b"bytes", ["list"], {"a": 1}, (1,)):
        with pytest.raises(TypeError):
            ostrel.Dispatch("Ostrel.CXmlReader").setKeyList(value, "", ostrel.Collection())
    with pytest.raises(TypeError):
        ostrel.Dispatch("Ostrel.CXmlReader").setKeyList(ostrel.Ref(ostrel.Ref("a")), "", ostrel.Collection())


def test_objects_by_progid_or_clsid_and_operations_in_any_case():
    by_clsid = ostrel.Dispatch(READER_CLSID.lower())
    keys = ostrel.Collection()
    assert by_clsid.SETKEYLIST("a k=v", "", keys) is True
    assert keys.items() == [("k", "v")]
    with pytest.raises(AttributeError, match="NoSuchOperation"):
        by_clsid.NoSuchOperation
    assert not hasattr(by_clsid, "__iter__")
    for name in ("Ostrel.NoSuchClass", "{00000000-0000-0000-0000-000000000000}"):
        with pytest.raises(ostrel.Error) as raised:
            ostrel.Dispatch(name)
        assert raised.value.number == 429


def test_a_wrong_argument_count_is_a_type_error_and_a_wrong_type_run_time_error_13():
    r = ostrel.Dispatch("Ostrel.CXmlReader")
    with pytest.raises(TypeError, match="missing required argument 'tagname'"):
        r.setKeyList("a")
    with pytest.raises(TypeError) as raised:
        r.setKeyList(5, "", ostrel.Collection())
    assert isinstance(raised.value, ostrel.Error)
    assert raised.value.number == 13


def test_collection_by_name_and_as_a_mapping():
    c = ostrel.Collection()
    c.Add("one", "First")
    c.add("two", "Key")
    with pytest.raises(ostrel.Error) as raised:
        c.Add("three", "KEY")
    assert raised.value.number == 457
    assert c.Count() == len(c) == 2
    assert c.Item(2) == c["key"] == c[2] == "two"
    for outside in (0, 3, -1, 2**40):
        with pytest.raises(IndexError):
            c[outside]
    assert c.items() == [("First", "one"), ("Key", "two")]
    c.Remove(1)
    assert c.items() == [("Key", "two")]


def test_texts_keep_every_unit():
    text = "𠀋 \udc80 \x00 ｶﾅ"
    t = ostrel.Ref("")
    ostrel.Dispatch("Ostrel.CXmlReader").setKeyList(text, t, ostrel.Collection())
    assert t.value == "𠀋"
    keys = ostrel.Collection()
    keys.Add(text, "k")
    assert keys["k"] == text


# A str of each form (a byte, two or four a character) and the units at the
# edges of the surrogates, through the component as UTF-16 and back: each
# must come back equal, which a str built in the wrong form is not.
TEXTS = ["", "memo", "caf\xe9 \xff", "\u0100", "ｶﾀｶﾅ ～ 牛乳", "\ud7ff\ue000\uffff", "𠀋 \U0010ffff", "\udc80", "x\ud800",
         "\udc00\ud800"]


@pytest.mark.parametrize("text", TEXTS, ids=ascii)
def test_texts_of_every_form_come_back_as_they_went(text):
    keys = ostrel.Collection()
    keys.Add(text, "k")
    assert keys["k"] == text
