"""Ostrel's classes from Python, through the component model.

    w = ostrel.Dispatch("Ostrel.CXmlWriter")   # a ProgID, or "{CLSID}"
    w.XmlOpen("memo.xml")                      # operations by name, any case
    del w                                      # the last reference releases it

Plain arguments go to the callee by reference to temporaries, so its changes
are dropped; pass an ostrel.Ref to see them. A Python object passed where a
handler is expected receives the reader's callbacks by name.
"""


class Error(Exception):
    """A failed call: the run-time error's number and description."""

    def __init__(self, number, description):
        super().__init__(number, description)
        self.number = number
        self.description = description

    def __str__(self):
        return f"{self.number}: {self.description}"


from ostrel._native import Collection, Dispatch, Ref, set_message_box  # noqa: E402

__all__ = ["Collection", "Dispatch", "Error", "Ref", "set_message_box"]
