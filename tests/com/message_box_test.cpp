// The message-box sink: what the default prints and how sinks are swapped.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <ostrel/com/message_box.h>

namespace {

using ostrel::com::SetMessageBoxSink;
using ostrel::com::ShowMessageBox;

TEST(MessageBox, DefaultSinkPrintsCaptionAndTextInUtf8OnStderr) {
  ::testing::internal::CaptureStderr();
  ShowMessageBox(u"終了", u"Lintrow");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Lintrow: \xE7\xB5\x82\xE4\xBA\x86\n");
}

TEST(MessageBox, SettingASinkReturnsThePreviousOneAndNullRestoresTheDefault) {
  std::vector<std::u16string> first, second;
  SetMessageBoxSink([&](std::u16string_view text, std::u16string_view) { first.emplace_back(text); });
  auto previous = SetMessageBoxSink([&](std::u16string_view text, std::u16string_view) { second.emplace_back(text); });
  ShowMessageBox(u"to second", u"c");
  previous(u"to first", u"c");
  EXPECT_EQ(first, std::vector<std::u16string>{u"to first"});
  EXPECT_EQ(second, std::vector<std::u16string>{u"to second"});
  SetMessageBoxSink(nullptr);
  ::testing::internal::CaptureStderr();
  ShowMessageBox(u"t", u"c");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "c: t\n");
  EXPECT_EQ(second.size(), 1u);
}

}  // namespace
