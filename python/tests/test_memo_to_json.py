"""The script of docs/python.md that prints memo.xml as JSON."""
import json
import subprocess
import sys

from conftest import SOURCE, dump_events

SCRIPT = SOURCE / "python" / "examples" / "memo_to_json.py"


def test_memo_to_json_prints_the_memos_of_the_sample_file():
    sample = SOURCE / "memoapp" / "sample" / "memo.xml"
    done = subprocess.run([sys.executable, str(SCRIPT), str(sample)],
                          capture_output=True, encoding="utf-8", check=True)
    events = dump_events(sample)
    titles = [event["parmList"][0][1] for event in events
              if event["call"] == "StartElement" and event["tagname"] == "sentence"]
    texts = [event["contentData"] for event in events
             if event["call"] == "contentData" and event["tagname"] == "sentence"]
    assert json.loads(done.stdout) == [{"title": title, "text": text} for title, text in zip(titles, texts)]
    assert len(titles) > 1


def test_memo_to_json_fails_for_a_missing_file(tmp_path):
    done = subprocess.run([sys.executable, str(SCRIPT), str(tmp_path / "none.xml")],
                          capture_output=True, encoding="utf-8", check=False)
    assert done.returncode == 1
    assert done.stdout == ""
    assert done.stderr.startswith("memo_to_json: 53: ")


def test_the_docs_show_the_script_as_it_is():
    assert SCRIPT.read_text(encoding="utf-8") in (SOURCE / "docs" / "python.md").read_text(encoding="utf-8")
