// The message-box sink: what the default prints, how sinks are swapped, and
// that each sink is handed its own context.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <ostrel/com/message_box.h>

namespace {

using ostrel::com::MessageBoxSink;
using ostrel::com::SetMessageBoxSink;
using ostrel::com::ShowMessageBox;

struct Recorder {
  static void Show(void* context, std::u16string_view text, std::u16string_view) {
    static_cast<Recorder*>(context)->texts.emplace_back(text);
  }
  MessageBoxSink Sink() { return {Show, this}; }
  std::vector<std::u16string> texts;
};

TEST(MessageBox, DefaultSinkPrintsCaptionAndTextInUtf8OnStderr) {
  ::testing::internal::CaptureStderr();
  ShowMessageBox(u"終了", u"Lintrow");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Lintrow: \xE7\xB5\x82\xE4\xBA\x86\n");
}

TEST(MessageBox, SettingASinkReturnsThePreviousOneAndNullRestoresTheDefault) {
  Recorder first, second;
  SetMessageBoxSink(first.Sink());
  const MessageBoxSink previous = SetMessageBoxSink(second.Sink());
  ShowMessageBox(u"to second", u"c");
  previous.show(previous.context, u"to first", u"c");
  EXPECT_EQ(first.texts, std::vector<std::u16string>{u"to first"});
  EXPECT_EQ(second.texts, std::vector<std::u16string>{u"to second"});
  SetMessageBoxSink({nullptr, nullptr});
  ::testing::internal::CaptureStderr();
  ShowMessageBox(u"t", u"c");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "c: t\n");
  EXPECT_EQ(second.texts.size(), 1u);
}

// A sink may show a box or put another sink in place while it runs, as a
// dialog's own event loop can.
TEST(MessageBox, ASinkMayShowABoxAndReplaceItselfWhileItRuns) {
  struct Relay {
    static void Show(void* context, std::u16string_view text, std::u16string_view caption) {
      auto* relay = static_cast<Relay*>(context);
      SetMessageBoxSink(relay->next.Sink());
      ShowMessageBox(std::u16string(text) + u" again", caption);
    }
    Recorder next;
  } relay;
  SetMessageBoxSink({Relay::Show, &relay});
  ShowMessageBox(u"shown", u"c");
  ShowMessageBox(u"later", u"c");
  EXPECT_EQ(relay.next.texts, (std::vector<std::u16string>{u"shown again", u"later"}));
  SetMessageBoxSink({nullptr, nullptr});
}

}  // namespace
