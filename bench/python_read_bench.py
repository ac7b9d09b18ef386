"""Reading every event of a memo file from Python: ostrel.read against
xml.sax, lxml's iterparse and xml.etree.ElementTree.iterparse on the file's
UTF-8 twin, and SetData with a counting Python handler. Each reader runs as
a whole process (interpreter, imports and all) and counts the elements it saw
start and end and the characters of their text; the counts must agree. The
processes take turns, each figure is the median of the runs, and each goal's
ratio is the median of the ratios within a round, printed with their range.
Then the peak memory of iterating a large file with ostrel.read.

python_read_bench.py BUILD FOLDER [MEMOS [LARGE_MB]]
  BUILD   a build tree with the Python package and read_bench
  FOLDER  where the memo files are written
"""
import os
import pathlib
import statistics
import subprocess
import sys
import time

RUNS = 15

# lxml's and ElementTree's iterparse, used alike: each element is cleared
# once counted, as a program reading a large file does.
ITERPARSE = """
import sys
IMPORT
def count(path):
    elements = characters = 0
    for event, element in parser.iterparse(path, events=("start", "end")):
        elements += 1
        if event == "end":
            if element.text and not element.text.isspace(): characters += len(element.text)
            element.clear()
    return elements, characters
print(*count(sys.argv[2]))
"""

# Each program prints "ELEMENTS CHARACTERS" for the file named in argv[1]:
# the start and end of every element, and the characters of each element's
# own text where that text is not only white space. Each does its work in a
# function, as a Python program that reads much does: a loop at module level
# looks up every name it uses in the module's dictionary.
PROGRAMS = {
    "ostrel.read": """
import sys, ostrel
def count(path):
    Start, End, Content = ostrel.Start, ostrel.End, ostrel.Content
    elements = characters = 0
    for event in ostrel.read(path):
        kind = type(event)
        if kind is Content:
            characters += len(event.text)
        elif kind is Start or kind is End:
            elements += 1
    return elements, characters
print(*count(sys.argv[1]))
""",
    "ostrel.parse (Python handler)": """
import sys, ostrel
class Counter:
    elements = characters = 0
    def StartElement(self, tagname, parmList): self.elements += 1
    def EndElement(self, tagname): self.elements += 1
    def contentData(self, tagname, text): self.characters += len(text)
def count(path):
    counter = Counter()
    ostrel.parse(path, counter)
    return counter.elements, counter.characters
print(*count(sys.argv[1]))
""",
    "xml.sax (UTF-8 twin)": """
import sys, xml.sax
class Counter(xml.sax.handler.ContentHandler):
    elements = counted = 0
    text = []
    def startElement(self, name, attributes):
        self.elements += 1
        self.text = []
    def characters(self, content): self.text.append(content)
    def endElement(self, name):
        self.elements += 1
        text = "".join(self.text)
        if not text.isspace(): self.counted += len(text)
        self.text = []
def count(path):
    counter = Counter()
    xml.sax.parse(path, counter)
    return counter.elements, counter.counted
print(*count(sys.argv[2]))
""",
    "lxml iterparse (UTF-8 twin)": ITERPARSE.replace("IMPORT", "from lxml import etree as parser"),
    "ElementTree iterparse (UTF-8 twin)": ITERPARSE.replace("IMPORT", "import xml.etree.ElementTree as parser"),
}

# The cost before any reading: the interpreter and the import.
STARTUP = "import ostrel"

# The ratio of each peer's time to ostrel.read's that the goal asks for.
GOALS = {"xml.sax (UTF-8 twin)": 3.0, "lxml iterparse (UTF-8 twin)": 2.5, "ElementTree iterparse (UTF-8 twin)": 2.0}


def make_files(build, folder, memos):
    """The CP932 memo file read_bench writes, and its UTF-8 twin: the same
    text, declared and stored as UTF-8."""
    memo = folder / f"python-{memos}.xml"
    subprocess.run([str(build / "bin" / "read_bench"), "--make", "one-line", str(memos), str(memo)], check=True)
    text = memo.read_bytes().decode("cp932")
    twin = folder / f"python-{memos}-utf8.xml"
    twin.write_bytes(text.replace('encoding = "Shift-JIS"', 'encoding = "UTF-8"', 1).encode("utf-8"))
    return memo, twin


def make_large_file(memo, folder, megabytes):
    """MEMO's memo lines repeated until the file holds about MEGABYTES."""
    lines = memo.read_bytes().split(b"\r\n")
    opening, body, closing = lines[:7], lines[7:-2], lines[-2:]
    block = b"\r\n".join(body) + b"\r\n"
    large = folder / f"python-large-{megabytes}mb.xml"
    with large.open("wb") as file:
        file.write(b"\r\n".join(opening) + b"\r\n")
        for _ in range(max(1, megabytes * 1_000_000 // len(block))):
            file.write(block)
        file.write(b"\r\n".join(closing))
    return large


def run(environment, program, *arguments):
    """Runs PROGRAM in a fresh interpreter: (seconds, what it printed)."""
    start = time.perf_counter()
    done = subprocess.run([sys.executable, "-c", program, *map(str, arguments)], env=environment,
                          capture_output=True, check=False)
    seconds = time.perf_counter() - start
    if done.returncode != 0:
        raise SystemExit(f"{program.strip().splitlines()[0]}... failed:\n{done.stderr.decode()}")
    return seconds, done.stdout.decode().strip()


def peak_kb(environment, program, *arguments):
    """The peak resident memory of PROGRAM in a fresh interpreter, in kB, as
    the process itself last sees it (the fork it started from not counted)."""
    report = "\nprint(next(line.split()[1] for line in open('/proc/self/status') if line.startswith('VmHWM:')))\n"
    done = subprocess.run([sys.executable, "-c", program + report, *map(str, arguments)], env=environment,
                          capture_output=True, check=False)
    if done.returncode != 0:
        raise SystemExit(f"{program.strip().splitlines()[0]}... failed: {done.stderr.decode()}")
    return int(done.stdout.split()[-1])


def add_summary_row(*cells):
    """One row of scripts/bench's table of current figures, appended to the
    file OSTREL_BENCH_SUMMARY names, which scripts/bench has made; without
    it the figures are only printed."""
    path = os.environ.get("OSTREL_BENCH_SUMMARY")
    if not path:
        return
    if not os.path.isabs(path) or any(c in cell for cell in cells for c in "\t\r\n"):
        raise SystemExit(f"cannot add a row to the summary {path!r}")
    file = os.open(path, os.O_WRONLY | os.O_APPEND | os.O_NOFOLLOW | os.O_CLOEXEC | os.O_NONBLOCK)
    try:
        row = ("\t".join(cells) + "\n").encode()
        if os.write(file, row) != len(row):
            raise SystemExit(f"the row for the summary {path} was cut short")
    finally:
        os.close(file)


def main():
    build, folder = pathlib.Path(sys.argv[1]).resolve(), pathlib.Path(sys.argv[2])
    memos = int(sys.argv[3]) if len(sys.argv) > 3 else 50_000
    large_mb = int(sys.argv[4]) if len(sys.argv) > 4 else 200
    environment = dict(os.environ, PYTHONPATH=str(build / "python"),
                       COM_REGISTRY=str(build / "bin" / "com-registry.d"), PYTHONDONTWRITEBYTECODE="1")
    memo, twin = make_files(build, folder, memos)
    # As an installed package is: compiled once, not at every import.
    subprocess.run([sys.executable, "-m", "compileall", "-q", str(build / "python" / "ostrel")], check=True)

    names = [*PROGRAMS, STARTUP]
    seconds = {name: [] for name in names}
    counts = {}
    for _ in range(RUNS):
        for name in names:
            taken, output = run(environment, PROGRAMS.get(name, STARTUP), memo, twin)
            seconds[name].append(taken)
            counts[name] = output
    agreed = {counts[name] for name in PROGRAMS}
    if len(agreed) != 1:
        raise SystemExit(f"the readers disagree on elements and characters: {counts}")
    median = {name: statistics.median(taken) for name, taken in seconds.items()}
    base = median["ostrel.read"]
    print(f"Reading every event of {memos:,} one-line memos from Python ({memo.stat().st_size / 1e6:.1f} MB CP932, "
          f"{counts['ostrel.read']} elements and characters), whole process, median of {RUNS}:")
    for name in names:
        print(f"  {name:36} {median[name] * 1e3:8.1f} ms  {median[name] / base:5.2f}x ostrel.read")
    # Each round's programs ran one after another, so a ratio within a round
    # is paired: the machine's load drifts less within a round than across.
    print(f"Goals: each peer's time over ostrel.read's in the same round, median and range of {RUNS} rounds:")
    for name, goal in GOALS.items():
        ratios = [peer / own for peer, own in zip(seconds[name], seconds["ostrel.read"])]
        ratio = statistics.median(ratios)
        print(f"  {name:36} {ratio:5.2f}x ({min(ratios):.2f}-{max(ratios):.2f})  goal {goal:.1f}x  "
              f"{'met' if ratio >= goal else 'NOT MET'}")
    peers = ", ".join(f"{name} {median[name] * 1e3:.1f} ms ({median[name] / base:.2f}×)" for name in names[1:])
    add_summary_row(f"Python: every event of {memos:,} one-line memos, whole process, `ostrel.read`",
                    f"{base * 1e3:.1f} ms", peers,
                    ", ".join(f"≥ {GOALS[name]:.1f}× {name.split(' (')[0]}" for name in GOALS))

    large = make_large_file(memo, folder, large_mb)
    iterate = peak_kb(environment, PROGRAMS["ostrel.read"], large, large)
    startup = peak_kb(environment, STARTUP)
    print(f"Peak memory iterating {large.stat().st_size / 1e6:.0f} MB with ostrel.read: {iterate / 1024:.1f} MB, "
          f"of which {startup / 1024:.1f} MB is the interpreter and import ostrel")
    add_summary_row(f"Python: peak memory iterating {large.stat().st_size / 1e6:.0f} MB of memo lines with `ostrel.read`",
                    f"{iterate / 1024:.1f} MB", f"`import ostrel` alone {startup / 1024:.1f} MB", "flat")
    large.unlink()


if __name__ == "__main__":
    main()
