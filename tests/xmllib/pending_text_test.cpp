// The pending text borrows a line until the scanner reads on; what it holds
// and the stream offsets that searches resume from must not depend on
// whether the text is borrowed or owned.
#include "xmllib/pending_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using ostrel::PendingText;

TEST(PendingTextTest, BorrowedTextOutlivesItsLineOnceOwned) {
  PendingText pending;
  std::u16string line = u"<a>xyz</a>";
  pending.Borrow(line);
  pending.Consume(3);
  EXPECT_EQ(pending.view(), u"xyz</a>");
  const std::size_t end = pending.streamEnd();
  EXPECT_EQ(end, line.size());
  pending.Own();
  line.assign(line.size(), u'#');  // the line reader reuses its buffer
  EXPECT_EQ(pending.view(), u"xyz</a>");
  EXPECT_EQ(pending.streamEnd(), end);
  pending.Append(u" ", u"<b>");
  EXPECT_EQ(pending.view(), u"xyz</a> <b>");
  EXPECT_EQ(pending.Find(u"<", end), 8u);  // the search resumes where the old text ended
  EXPECT_EQ(pending.Find(u"<", 0), 3u);
  pending.Clear();
  EXPECT_TRUE(pending.empty());
  std::u16string next = u"<c/>";
  pending.Borrow(next);
  EXPECT_EQ(pending.streamEnd(), end + 4 + next.size());
  EXPECT_EQ(pending.view(), u"<c/>");
}

// Consumed text is dropped from the buffer once it outweighs the rest; the
// text and the offsets stay the same across the move.
TEST(PendingTextTest, CompactionKeepsTextAndOffsets) {
  PendingText pending;
  const std::u16string head(5000, u'h');
  pending.Append({}, head + u"<tail>");
  pending.Consume(head.size());
  EXPECT_EQ(pending.view(), u"<tail>");
  EXPECT_EQ(pending.streamEnd(), head.size() + 6);
  EXPECT_EQ(pending.Find(u"tail", head.size()), 1u);
  pending.Append(u"\r\n", u"more");
  EXPECT_EQ(pending.view(), u"<tail>\r\nmore");
}

// Text consumed from the buffer need not be moved out before a line is
// borrowed; none of it may show again, and offsets run on without a gap.
TEST(PendingTextTest, LineBorrowedAfterOwnedTextStartsAfresh) {
  PendingText pending;
  pending.Append({}, u"<a>");
  pending.Consume(3);
  std::u16string line = u"<b>";
  pending.Borrow(line);
  EXPECT_EQ(pending.streamEnd(), 6u);
  pending.Consume(1);
  pending.Own();
  line.assign(line.size(), u'#');
  EXPECT_EQ(pending.view(), u"b>");
  pending.Append(u" ", u"c");
  EXPECT_EQ(pending.view(), u"b> c");
  EXPECT_EQ(pending.Find(u"c", 6), 3u);
  EXPECT_EQ(pending.streamEnd(), 8u);
}

// A borrowed line consumed to its end leaves nothing to own: what is
// appended after it is all there is.
TEST(PendingTextTest, EmptiedBorrowedLineOwnsNothing) {
  PendingText pending;
  std::u16string line = u"<a>";
  pending.Borrow(line);
  pending.Consume(3);
  pending.Own();
  line.assign(line.size(), u'#');
  EXPECT_TRUE(pending.empty());
  pending.Append(u" ", u"b>");
  EXPECT_EQ(pending.view(), u" b>");
  EXPECT_EQ(pending.streamEnd(), 6u);
  EXPECT_EQ(pending.Find(u">", 3), 2u);
}

}  // namespace
