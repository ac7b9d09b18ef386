from typing import NamedTuple, Union

class Start(NamedTuple):
    name: str
    attributes: dict[str, str]

class Content(NamedTuple):
    name: str
    text: str

class End(NamedTuple):
    name: str

class Fault(NamedTuple):
    position: int
    message: str
    content: str

Event = Union[Start, Content, End, Fault]
