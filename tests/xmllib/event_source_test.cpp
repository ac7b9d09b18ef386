// IXmlEventSource: the events of a pulled read are SetData's callbacks, value
// for value, across batches; the file slot is held exactly while an iteration
// is open; errors end the iteration as they end SetData.
#include "xmllib/reader.h"

#include <filesystem>
#include <string>
#include <vector>

#include <ostrel/event_source.h>
#include "tests/xmllib/xml_test_support.h"
#include "xmllib/writer.h"

namespace {

using ostrel::com::Bstr;
using ostrel::com::ComPtr;
using ostrel_test::Utf8;
using Calls = std::vector<std::string>;

// An event in RecordingHandler's words, so both reads compare line by line.
std::string AsCall(const ostrel::XmlEvent& event) {
  switch (event.kind) {
    case ostrel::XmlEventKind::Start: {
      std::string call = "StartElement(" + Utf8(event.name);
      for (uint32_t k = 0; k < event.attributeCount; ++k) {
        call += "; " + Utf8(event.attributes[k].key) + "=" + Utf8(event.attributes[k].value);
      }
      return call + ")";
    }
    case ostrel::XmlEventKind::Content: return "contentData(" + Utf8(event.name) + ", " + Utf8(event.text) + ")";
    case ostrel::XmlEventKind::End: return "EndElement(" + Utf8(event.name) + ")";
    case ostrel::XmlEventKind::Fault:
      return "ErrElement(" + std::to_string(event.position) + ", " + Utf8(event.message) + ", " + Utf8(event.text) + ")";
  }
  return "unknown event";
}

class EventSourceTest : public ostrel_test::XmlFileTest {
 protected:
  HRESULT Open(const std::u16string& filename) {
    Bstr name(filename);
    return source->Open(name.Address());
  }

  // Every event of FILENAME, pulled; the iteration must end without error.
  Calls Pull(const std::u16string& filename) {
    EXPECT_EQ(Open(filename), S_OK);
    Calls calls;
    for (VARIANT_BOOL more = VARIANT_TRUE; more;) {
      ostrel::XmlEventBatch batch;
      EXPECT_EQ(source->Next(&batch, &more), S_OK);
      if (!more) EXPECT_FALSE(ostrel::com::file_slot::IsOpen());
      for (uint32_t k = 0; k < batch.count; ++k) {
        calls.push_back(AsCall(batch.events[k]));
        lastEvent = batch.events[k];
      }
      ++batches;
    }
    return calls;
  }

  HRESULT NextStatus() {
    ostrel::XmlEventBatch batch;
    VARIANT_BOOL more = VARIANT_TRUE;
    return source->Next(&batch, &more);
  }

  ComPtr<ostrel::CXmlReader> reader = ComPtr<ostrel::CXmlReader>::Attach(new ostrel::CXmlReader());
  ComPtr<ostrel::IXmlEventSource> source = reader.As<ostrel::IXmlEventSource>();
  ostrel::XmlEvent lastEvent{};
  int batches = 0;
};

struct FileCase {
  const char* name;
  std::string bytes;
};

class PulledEventsTest : public EventSourceTest, public ::testing::WithParamInterface<FileCase> {};

TEST_P(PulledEventsTest, AreTheCallbacksOfSetData) {
  const std::u16string path = WriteBytes("input.xml", GetParam().bytes);
  const Calls expected = ostrel_test::CallsOfSetData(*reader.get(), path);
  EXPECT_EQ(Pull(path), expected);
}

std::string ManyMemos(int count) {
  std::string bytes = "<Memo>\r\n";
  for (int k = 0; k < count; ++k) bytes += "\t<sentence Title=\"t" + std::to_string(k) + "\">memo &lt;" + std::to_string(k) + "&gt;</sentence>\r\n";
  return bytes + "</Memo>\r\n";
}

INSTANTIATE_TEST_SUITE_P(
    Files, PulledEventsTest,
    ::testing::Values(
        FileCase{"MemoFile", "<?xml version=\"1.0\"?>\r\n<!-- c -->\r\n<Memo>\r\n\t<sentence Title=\"t\">s</sentence>\r\n</Memo>\r\n"},
        FileCase{"Empty", ""},
        FileCase{"EmptyTagsAndAttributes", "<a x=\"1\" y='2' z=3><b/><c q=\"1 2\"/>x &lt;y&gt; &quot;z&quot; &amp;amp;</a>"},
        FileCase{"UnmatchedEndTag", "<a><b></a>"},
        FileCase{"EndTagFirst", "</a>"},
        FileCase{"UnclosedAtTheEnd", "<Memo>\r\n<sentence Title=\"x\""},
        FileCase{"ContentOverLines", "<a>one\r\ntwo\r\n\r\nthree</a>"},
        // Several batches, with a tag of each kind at their edges.
        FileCase{"ManyBatches", ManyMemos(5000)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EventSourceTest, FaultNamesItsTokenCountAndLine) {
  const std::u16string path = WriteLines("fault.xml", {"<?xml?>", "<a>", "", "  <b>", "</a>"});
  const Calls calls = Pull(path);
  ASSERT_EQ(lastEvent.kind, ostrel::XmlEventKind::Fault);
  EXPECT_EQ(calls.back(), "ErrElement(4, タグ(bと(a)は対称していません。, a)");
  EXPECT_EQ(lastEvent.line, 5);
}

TEST_F(EventSourceTest, EventsCarryTheLineTheirTokenEndsOn) {
  const std::u16string path = WriteLines("lines.xml", {"<a>", "x", "y</a>"});
  ASSERT_EQ(Open(path), S_OK);
  ostrel::XmlEventBatch batch;
  VARIANT_BOOL more = VARIANT_TRUE;
  ASSERT_EQ(source->Next(&batch, &more), S_OK);
  ASSERT_GE(batch.count, 3u);
  EXPECT_EQ(batch.events[0].line, 1);  // <a>
  EXPECT_EQ(batch.events[1].line, 3);  // x CR LF y, up to the "<" on line 3
  EXPECT_EQ(batch.events[2].line, 3);  // </a>
}

TEST_F(EventSourceTest, ManyEventsComeInSeveralBatches) {
  Pull(WriteBytes("many.xml", ManyMemos(5000)));
  EXPECT_GT(batches, 3);
}

// --- The file slot ---

TEST_F(EventSourceTest, OpenIterationHoldsTheSlotUntilClosed) {
  ASSERT_EQ(Open(WriteBytes("a.xml", ManyMemos(5000))), S_OK);
  EXPECT_EQ(NextStatus(), S_OK);
  EXPECT_TRUE(ostrel::com::file_slot::IsOpen());
  EXPECT_EQ(source->Close(), S_OK);
  EXPECT_FALSE(ostrel::com::file_slot::IsOpen());
  EXPECT_EQ(NextStatus(), S_OK);  // nothing more, and no error
}

TEST_F(EventSourceTest, ReleasingTheReaderEndsTheIteration) {
  ASSERT_EQ(Open(WriteBytes("a.xml", ManyMemos(5000))), S_OK);
  source.Reset();
  reader.Reset();
  EXPECT_FALSE(ostrel::com::file_slot::IsOpen());
}

TEST_F(EventSourceTest, AnotherReadWaitsForTheOpenIteration) {
  const std::u16string path = WriteBytes("a.xml", "<a/>");
  ASSERT_EQ(Open(path), S_OK);
  const ComPtr<ostrel::CXmlReader> other = ComPtr<ostrel::CXmlReader>::Attach(new ostrel::CXmlReader());
  Bstr name(path);
  EXPECT_EQ(other.As<ostrel::IXmlEventSource>()->Open(name.Address()),
            RuntimeErrorStatus(ostrel::com::errnum::kFileAlreadyOpen));
  EXPECT_EQ(source->Close(), S_OK);
}

// Once the last batch is out the slot is another's: ending the finished
// iteration must not close a file someone opened since.
TEST_F(EventSourceTest, FinishedIterationLeavesALaterFileOpen) {
  Pull(WriteBytes("a.xml", "<a/>"));
  const ComPtr<ostrel::CXmlWriter> writer = ComPtr<ostrel::CXmlWriter>::Attach(new ostrel::CXmlWriter());
  Bstr out(PathOf("out.xml"));
  VARIANT_BOOL opened = VARIANT_FALSE;
  ASSERT_EQ(writer->XmlOpen(out.Address(), &opened), S_OK);
  ASSERT_TRUE(opened);
  source->Close();
  source.Reset();
  reader.Reset();
  EXPECT_TRUE(ostrel::com::file_slot::IsOpen());
  writer->XmlClose(&opened);
}

// --- Errors ---

TEST_F(EventSourceTest, MissingFileAndEmptyNameFailWithoutAMessageBox) {
  EXPECT_EQ(Open(PathOf("missing.xml")), RuntimeErrorStatus(ostrel::com::errnum::kFileNotFound));
  EXPECT_NE(ostrel::com::ErrorFromStatus(RuntimeErrorStatus(53)).description().find(u"missing.xml"), std::u16string::npos);
  EXPECT_EQ(Open(u""), RuntimeErrorStatus(ostrel::com::errnum::kBadFileName));
  EXPECT_TRUE(messageBoxes.empty());
}

// SetData's handler has every event before the error; so does the client.
TEST_F(EventSourceTest, EventsBeforeAnErrorComeOutFirst) {
  ASSERT_EQ(Open(WriteBytes("dup.xml", "<b/><a x=\"1\" X=\"2\">")), S_OK);
  ostrel::XmlEventBatch batch;
  VARIANT_BOOL more = VARIANT_FALSE;
  ASSERT_EQ(source->Next(&batch, &more), S_OK);
  EXPECT_EQ(batch.count, 3u);  // b's start, end and content
  EXPECT_TRUE(more);
  EXPECT_FALSE(ostrel::com::file_slot::IsOpen());
  EXPECT_EQ(NextStatus(), RuntimeErrorStatus(ostrel::com::errnum::kDuplicateKey));
  EXPECT_EQ(NextStatus(), S_OK);
}

TEST_F(EventSourceTest, ErrorInTheFileEndsTheIterationAndFreesTheSlot) {
  ASSERT_EQ(Open(WriteBytes("dup.xml", "<a x=\"1\" X=\"2\">")), S_OK);
  EXPECT_EQ(NextStatus(), RuntimeErrorStatus(ostrel::com::errnum::kDuplicateKey));
  EXPECT_FALSE(ostrel::com::file_slot::IsOpen());
  EXPECT_EQ(NextStatus(), S_OK);
}

}  // namespace
