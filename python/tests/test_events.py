"""ostrel.read and ostrel.parse: the same events as ostrel-dump prints, the
file slot held only while the iterator is open, errors as exceptions."""
import collections
import copy
import gc
import inspect
import os
import pathlib
import pickle

import pytest

import ostrel
from conftest import SOURCE, dump_events, write_cp932

CORPUS = sorted((SOURCE / "fuzz" / "corpus" / "read_file").iterdir()) + [SOURCE / "memoapp" / "sample" / "memo.xml"]


def as_dumped(event):
    """EVENT as ostrel-dump prints the callback it stands for."""
    match event:
        case ostrel.Start(name, attributes):
            return {"call": "StartElement", "tagname": name, "parmList": [list(pair) for pair in attributes.items()]}
        case ostrel.Content(name, text):
            return {"call": "contentData", "tagname": name, "contentData": text}
        case ostrel.End(name):
            return {"call": "EndElement", "tagname": name}
        case ostrel.Fault(position, message, content):
            return {"call": "ErrElement", "ln": position, "msg": message, "content": content}


def read_as_dumped(path):
    events = []
    try:
        for event in ostrel.read(path):
            events.append(as_dumped(event))
        events.append({"call": "SetData", "result": 0})
    except ostrel.Error as error:
        events.append({"call": "SetData", "error": error.number, "description": error.description})
    return events


@pytest.mark.parametrize("path", CORPUS, ids=lambda path: path.name)
def test_read_gives_the_events_ostrel_dump_prints(path, message_boxes):
    assert read_as_dumped(path) == dump_events(path)
    assert message_boxes == []


def slot_is_free():
    try:
        ostrel.Writer("probe.xml").close()
        return True
    except ostrel.Error as error:
        assert error.number == 55
        return False


# How an iteration ends, each of which must free the file slot.
ENDINGS = {
    "exhausted": lambda events: list(events),
    "closed": lambda events: events.close(),
    "closed twice": lambda events: (events.close(), events.close()),
    "with block": lambda events: events.__exit__(None, None, None),
    "collected": lambda events: None,
}


@pytest.mark.parametrize("ending", ENDINGS, ids=list(ENDINGS))
def test_the_file_slot_is_held_while_the_iterator_is_open(folder, ending):
    # More events than one batch holds, so the read is not over at once.
    write_cp932("a.xml", "<a>", *["<b>x</b>"] * 3000, "</a>")
    events = ostrel.read("a.xml")
    assert next(events) == ostrel.Start("a", {})
    assert not slot_is_free()
    ENDINGS[ending](events)
    if ending == "collected":
        del events
        gc.collect()
    else:
        assert list(events) == []  # an ended iteration gives nothing more
    assert slot_is_free()


def test_a_with_block_and_a_for_loop_read_the_whole_file(folder):
    write_cp932("a.xml", '<a x="1" Y=\'2\'>', "<b>x &gt; y</b>", "<c/>", "</a>")
    with ostrel.read(pathlib.Path("a.xml")) as events:
        assert list(events) == [
            ostrel.Start("a", {"x": "1", "Y": "'2'"}), ostrel.Start("b", {}), ostrel.Content("b", "x > y"),
            ostrel.End("b"), ostrel.Start("c", {}), ostrel.End("c"), ostrel.Content("c", ""), ostrel.End("a"),
            ostrel.Content("", "")]


def test_a_fault_is_the_last_event_with_the_token_count(folder):
    write_cp932("a.xml", "<a>", "<b>", "</a>")
    events = list(ostrel.read("a.xml"))
    assert events[-1] == ostrel.Fault(3, "タグ(bと(a)は対称していません。", "a")
    assert events[-1].position == 3


def test_a_file_name_of_undecodable_bytes_is_read(folder):
    name = os.fsdecode(b"memo\xff.xml")
    write_cp932(name, "<a>x</a>")
    assert [event for event in ostrel.read(name)][:2] == [ostrel.Start("a", {}), ostrel.Content("a", "x")]


# (what, the file name, the exception, the run-time error number)
OPEN_FAILURES = [
    ("no such file", "none.xml", FileNotFoundError, 53),
    ("empty name", "", OSError, 52),
    ("a folder", ".", FileNotFoundError, 53),
]


@pytest.mark.parametrize("what, name, kind, number", OPEN_FAILURES, ids=[case[0] for case in OPEN_FAILURES])
def test_read_and_parse_fail_to_open_with_the_cause_and_no_message_box(folder, message_boxes, what, name, kind,
                                                                       number):
    for call in (lambda: ostrel.read(name), lambda: ostrel.parse(name, object())):
        with pytest.raises(kind) as raised:
            call()
        assert raised.value.number == number
    assert message_boxes == []


def test_read_while_the_slot_is_taken_is_error_55(folder):
    write_cp932("a.xml", "<a/>")
    with ostrel.Writer("b.xml"):
        with pytest.raises(ostrel.Error) as raised:
            ostrel.read("a.xml")
    assert raised.value.number == 55


def test_parse_calls_the_handler_back_as_set_data_does(folder):
    write_cp932("a.xml", '<a x="1">t</a>')
    seen = []

    class Handler:
        def StartElement(self, tagname, parmList): seen.append((tagname, parmList.items()))
        def contentdata(self, tagname, text): seen.append((tagname, text))

    assert ostrel.parse("a.xml", Handler()) is None
    assert seen == [("a", [("x", "1")]), ("a", "t"), ("", "")]


# What a caller may do with a named tuple, done to each event class and to a
# collections.namedtuple of the same name and fields: the outcomes must agree.
NAMED_TUPLE_USES = {
    "by position": lambda cls, values: cls(*values),
    "by keyword": lambda cls, values: cls(**dict(zip(reversed(cls._fields), reversed(values)))),
    "fields": lambda cls, values: (cls._fields, cls.__match_args__, cls._field_defaults),
    "signature": lambda cls, values: str(inspect.signature(cls)),
    "each field": lambda cls, values: [getattr(cls(*values), field) for field in cls._fields],
    "repr": lambda cls, values: repr(cls(*values)),
    "as a tuple": lambda cls, values: (cls(*values) == tuple(values), tuple(cls(*values)), cls(*values)[-1]),
    "hash": lambda cls, values: hash(cls(*values)) == hash(tuple(values)),
    "_asdict": lambda cls, values: cls(*values)._asdict(),
    "_replace": lambda cls, values: cls(*values)._replace(**{cls._fields[0]: "new"}),
    "_make": lambda cls, values: cls._make(iter(values)),
    "copy": lambda cls, values: copy.copy(cls(*values)),
    "too many": lambda cls, values: cls(*values, "more"),
    "too few": lambda cls, values: cls(*values[1:]),
    "a field twice": lambda cls, values: cls(*values, **{cls._fields[0]: "again"}),
    "unknown keyword": lambda cls, values: cls(*values, unknown=1),
    "_replace an unknown field": lambda cls, values: cls(*values)._replace(unknown=1, other=2),
    "_make of too many": lambda cls, values: cls._make([*values, "more"]),
    "set a field": lambda cls, values: setattr(cls(*values), cls._fields[0], "new"),
}


def outcome(use, cls, values):
    """What USE gives, with instances of CLS shown as tuples; an error as its
    type (and, where the message is a named tuple's own, the message)."""
    try:
        result = use(cls, values)
    except (TypeError, ValueError, AttributeError) as error:
        own = "_make" in str(error) or "field names" in str(error) or "Expected" in str(error)
        return type(error), str(error) if own else None
    return (type(result).__name__, tuple(result)) if isinstance(result, cls) else result


@pytest.mark.parametrize("use", NAMED_TUPLE_USES.values(), ids=NAMED_TUPLE_USES.keys())
@pytest.mark.parametrize("cls", [ostrel.Start, ostrel.Content, ostrel.End, ostrel.Fault], ids=lambda cls: cls.__name__)
def test_events_behave_as_named_tuples(cls, use):
    values = ("a", {"x": "'1'"}, 3)[:len(cls._fields)] if cls is ostrel.Start else ("a", "b", "c")[:len(cls._fields)]
    if cls is ostrel.Start and use is NAMED_TUPLE_USES["hash"]:
        values = ("a", ())
    reference = collections.namedtuple(cls.__name__, cls._fields)
    assert outcome(use, cls, values) == outcome(use, reference, values)


@pytest.mark.parametrize("event", [ostrel.Start("a", {"x": "1"}), ostrel.Content("a", "x"), ostrel.End("a"),
                                   ostrel.Fault(3, "m", "c")], ids=lambda event: type(event).__name__)
def test_events_pickle_and_deep_copy_as_themselves(event):
    for again in (pickle.loads(pickle.dumps(event)), copy.deepcopy(event)):
        assert type(again) is type(event) and again == event


def test_an_event_that_holds_itself_is_shown_and_collected():
    start = ostrel.Start("a", {})
    start.attributes["self"] = start
    assert repr(start) == "Start(name='a', attributes={'self': ...})"
    del start
    assert gc.collect() > 0


def test_a_subclass_of_an_event_is_made_as_itself():
    class Mine(ostrel.Content):
        pass

    mine = Mine._make(["a", "b"])
    assert type(mine) is Mine and mine == ostrel.Content("a", "b") and mine.text == "b"
    assert type(mine._replace(text="c")) is Mine
