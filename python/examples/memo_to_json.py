import json, sys
import ostrel

class Memos:
    def __init__(self): self.memos, self.title = [], ""
    def StartElement(self, tagname, parmList): self.title = parmList["Title"] if "Title" in parmList else ""
    def contentData(self, tagname, text):
        if tagname == "sentence": self.memos.append({"title": self.title, "text": text})

memos = Memos()
status = ostrel.Dispatch("Ostrel.CXmlReader").SetData(sys.argv[1], memos)
json.dump(memos.memos, sys.stdout, ensure_ascii=False, indent=1)
sys.exit(status != 0)
