import json, sys
import ostrel

memos: list[dict[str, str]] = []
title = ""
try:
    for event in ostrel.read(sys.argv[1]):
        match event:
            case ostrel.Start("sentence", attributes):
                title = attributes.get("Title", "")
            case ostrel.Content("sentence", text):
                memos.append({"title": title, "text": text})
except OSError as error:
    sys.exit(f"memo_to_json: {error}")
json.dump(memos, sys.stdout, ensure_ascii=False, indent=1)
