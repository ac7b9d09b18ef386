"""References follow Python's: objects go when their last reference does, and
nothing is left behind after many objects have come and gone."""
import ctypes
import gc
import sys
import tracemalloc

import ostrel
from conftest import BIN, write_cp932

S_OK = 0
CYCLES = 1000


def ostrel_objects_alive():
    """Whether any object of the Ostrel library is alive, as the library itself
    tells the component model when asked whether it may be unloaded."""
    library = ctypes.CDLL(str(BIN / "libOstrel.so"))
    return library.DllCanUnloadNow() != S_OK


class Handler:
    def __init__(self): self.tags = 0
    def StartElement(self, tagname, parmList): self.tags += len(parmList.items()) + 1


def one_cycle(handler):
    w = ostrel.Dispatch("Ostrel.CXmlWriter")
    w.XmlOpen("a.xml")
    w.WriteSetEllement(0, '<a x="1">', "t", "</a>")
    del w
    keys, tag = ostrel.Collection(), ostrel.Ref("")
    r = ostrel.Dispatch("Ostrel.CXmlReader")
    r.setKeyList('a x="1"', tag, keys)
    r.SetData("a.xml", handler)
    r.SetData("a.xml", ostrel.Dispatch("Ostrel.IXmlHandler"))


def test_an_object_lives_while_python_holds_it(folder):
    assert not ostrel_objects_alive()
    w = ostrel.Dispatch("Ostrel.CXmlWriter")
    operation = w.XmlOpen
    del w
    assert ostrel_objects_alive(), "a bound operation holds its object"
    del operation
    assert not ostrel_objects_alive()


def test_a_thousand_create_and_release_cycles_leave_nothing_behind(folder):
    handler = Handler()
    one_cycle(handler)
    gc.collect()
    handler_references = sys.getrefcount(handler)
    tracemalloc.start()
    before = tracemalloc.take_snapshot()
    for _ in range(CYCLES):
        one_cycle(handler)
    gc.collect()
    after = tracemalloc.take_snapshot()
    tracemalloc.stop()
    new_blocks = sum(stat.count_diff for stat in after.compare_to(before, "filename") if stat.count_diff > 0)

    assert handler.tags == (CYCLES + 1) * 2
    assert not ostrel_objects_alive()
    assert not ostrel._native._wrappers_alive()
    assert sys.getrefcount(handler) == handler_references
    # Anything kept per cycle would be a thousand blocks; Python's own caches
    # settle at a hundred or so, however many cycles run.
    assert new_blocks < CYCLES // 4, after.compare_to(before, "lineno")[:5]


def test_a_handler_wrapper_goes_with_the_call(folder):
    write_cp932("a.xml", "<a/>")
    handler = Handler()
    references = sys.getrefcount(handler)
    ostrel.Dispatch("Ostrel.CXmlReader").SetData("a.xml", handler)
    assert sys.getrefcount(handler) == references
    assert not ostrel._native._wrappers_alive()
