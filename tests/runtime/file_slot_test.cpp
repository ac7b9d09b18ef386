// The file slot: how a file splits into lines, the one slot shared by input
// and output, the bytes that reach the disk, and the errors of each failure.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <utility>
#include <vector>

#include "tests/scratch_folder.h"

namespace {

namespace slot = ostrel::com::file_slot;
using Lines = std::vector<std::u16string>;

using LineSplitting = ScratchFolder;
using SlotSharing = ScratchFolder;
using Output = ScratchFolder;
using OpenErrors = ScratchFolder;

TEST_F(LineSplitting, CrLfLoneLfAndLoneCrEachEndOneLine) {
  EXPECT_EQ(ReadLines(WriteBytes("mixed.txt", "a\r\nb\nc\rd\n\re")), (Lines{u"a", u"b", u"c", u"d", u"", u"e"}));
}

TEST_F(LineSplitting, ALineEndThatClosesTheFileAddsNoEmptyLine) {
  EXPECT_EQ(ReadLines(WriteBytes("one.txt", "a\r\n")), Lines{u"a"});
  EXPECT_EQ(ReadLines(WriteBytes("cr.txt", "a\r")), Lines{u"a"});
  EXPECT_EQ(ReadLines(WriteBytes("blank.txt", "a\r\n\r\n")), (Lines{u"a", u""}));
  EXPECT_EQ(ReadLines(WriteBytes("bare.txt", "last")), Lines{u"last"});
}

TEST_F(LineSplitting, EmptyFileIsAtEndAtOnceAndRefusesAFurtherRead) {
  slot::OpenForInput(WriteBytes("empty.txt", ""));
  EXPECT_TRUE(slot::AtEnd());
  EXPECT_EQ(ErrorOf([] { slot::ReadLinePiece(SIZE_MAX); }), 62);
}

// InputLines reads on where ReadLinePiece left off, and the other way round:
// both move through the same lines of the open file.
TEST_F(LineSplitting, InputLinesShareTheSlotsPlaceInTheFile) {
  using Pieces = std::vector<std::pair<std::u16string, bool>>;  // text, ends its line
  slot::OpenForInput(WriteBytes("two.txt", "ab\r\n\r\nlast"));
  ostrel::com::LineReader& lines = slot::InputLines();
  Pieces pieces;
  const auto note = [&](ostrel::com::LinePiece piece) { pieces.emplace_back(piece.text, piece.endsLine); };
  note(slot::ReadLinePiece(1));
  while (!lines.AtEnd()) {
    note(lines.ReadPiece(1));
    if (!slot::AtEnd()) note(slot::ReadLinePiece(1));
  }
  EXPECT_EQ(ErrorOf([] { slot::ReadLinePiece(1); }), 62);
  slot::Close();
  EXPECT_EQ(pieces, (Pieces{{u"a", false}, {u"b", true}, {u"", true}, {u"l", false}, {u"a", false}, {u"s", false},
                            {u"t", true}}));
}

// A line is taken without a call only where its end is decoded already and
// it fits; otherwise ReadDecodedLine declines and reads nothing, leaving the
// line to ReadPiece: before the first block is decoded, for a line longer
// than asked for, and for a last line that no line end closes.
TEST_F(LineSplitting, DecodedLinesAreTakenWholeAndTheRestLeftToReadPiece) {
  slot::OpenForInput(WriteBytes("lines.txt", "ab\r\nlonger\r\nlast"));
  ostrel::com::LineReader& lines = slot::InputLines();
  std::u16string_view line;
  EXPECT_FALSE(lines.ReadDecodedLine(SIZE_MAX, line));
  EXPECT_EQ(lines.ReadPiece(SIZE_MAX).text, u"ab");
  EXPECT_FALSE(lines.ReadDecodedLine(5, line));
  ASSERT_TRUE(lines.ReadDecodedLine(6, line));
  EXPECT_EQ(line, u"longer");
  EXPECT_FALSE(lines.ReadDecodedLine(SIZE_MAX, line));
  const ostrel::com::LinePiece last = lines.ReadPiece(SIZE_MAX);
  EXPECT_EQ(last.text, u"last");
  EXPECT_TRUE(last.endsLine);
  EXPECT_TRUE(lines.AtEnd());
  slot::Close();
}

TEST_F(LineSplitting, LineLongerThanManyBlocksArrivesWhole) {
  const std::string longLine(300'000, 'x');
  const Lines lines = ReadLines(WriteBytes("long.txt", "\x82\xA0" + longLine + "\r\nend"));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], u"あ" + std::u16string(longLine.size(), u'x'));
  EXPECT_EQ(lines[1], u"end");
}

// Five bytes a line: whatever power of two the block size is, successive block
// boundaries fall at every offset of a line, so one splits あ and one splits
// its CR LF, and one falls right after a line end.
TEST_F(LineSplitting, CharactersAndLineEndsSplitByBlockBoundariesStayWhole) {
  std::string bytes;
  for (int i = 0; i < 100'000; ++i) bytes += "x\x82\xA0\r\n";
  slot::OpenForInput(WriteBytes("blocks.txt", bytes));
  int count = 0;
  while (!slot::AtEnd()) {
    const std::u16string_view line = slot::ReadLinePiece(SIZE_MAX).text;
    const bool more = !slot::AtEnd();  // may read ahead; the line must survive it
    ASSERT_EQ(line, u"xあ") << "line " << count;
    ++count;
    ASSERT_EQ(more, count < 100'000);
  }
  EXPECT_EQ(count, 100'000);
}

// Eleven bytes a round, four lines: a lone CR right after a pair, an LF, a
// broken pair before CR LF, an empty line ended by a lone CR. Eleven is prime
// to the block size, so over eleven blocks a block boundary falls at every
// offset of a round.
TEST_F(LineSplitting, LoneCrsBrokenPairsAndLfsSplitByBlockBoundariesStayWhole) {
  constexpr int kRounds = 70'000;
  std::string bytes;
  for (int i = 0; i < kRounds; ++i) bytes += "\x82\xA0\rabc\n\x82\r\n\r";
  const Lines lines = ReadLines(WriteBytes("rounds.txt", bytes));
  ASSERT_EQ(lines.size(), 4u * kRounds);
  for (size_t i = 0; i < lines.size(); i += 4) {
    ASSERT_EQ(Lines(lines.begin() + i, lines.begin() + i + 4), (Lines{u"あ", u"abc", u"\uFFFD", u""})) << "round " << i / 4;
  }
}

// Lines of every length up to two vector steps and more, of ASCII with or
// without a pair, each with every kind of line end.
TEST_F(LineSplitting, LineEndsAtEveryOffsetOfAStepEndTheirLines) {
  static const std::string kEnds[] = {"\r\n", "\n", "\r"};
  std::string bytes;
  Lines expected;
  for (int length = 0; length <= 40; ++length) {
    for (const std::string& end : kEnds) {
      bytes += std::string(length, 'x') + end;
      expected.push_back(std::u16string(length, u'x'));
      bytes += std::string(length, 'y') + "\x93\xFA" + end;
      expected.push_back(std::u16string(length, u'y') + u"日");
      bytes += "\x93\xFA" + std::string(length, 'z') + "\x82" + end;
      expected.push_back(u"日" + std::u16string(length, u'z') + u"\uFFFD");
    }
  }
  EXPECT_EQ(ReadLines(WriteBytes("lengths.txt", bytes)), expected);
}

// However much of the line has been read ahead, a piece never holds more
// than the units asked for, and only the last piece of a line ends it.
TEST_F(LineSplitting, PiecesHoldAtMostTheUnitsAskedFor) {
  std::string longLine;
  std::u16string longText;
  for (int i = 0; i < 30'000; ++i) {
    longLine += "ab\x93\xFA";
    longText += u"ab日";
  }
  const std::u16string name = WriteBytes("pieces.txt", longLine + "\r\nshort\r\n" + longLine);
  for (const size_t most : {size_t{1}, size_t{7}, size_t{65'536}}) {
    slot::OpenForInput(name);
    Lines lines(1);
    while (!slot::AtEnd()) {
      const ostrel::com::LinePiece piece = slot::ReadLinePiece(most);
      ASSERT_LE(piece.text.size(), most);
      if (!piece.endsLine) {
        ASSERT_EQ(piece.text.size(), most);
      }
      lines.back() += piece.text;
      if (piece.endsLine) lines.emplace_back();
    }
    slot::Close();
    lines.pop_back();
    EXPECT_EQ(lines, (Lines{longText, u"short", longText})) << "pieces of " << most;
  }
}

TEST_F(SlotSharing, EitherOpenRefusesWhileTheSlotHoldsAFile) {
  const auto input = WriteBytes("in.txt", "x");
  const auto other = Name("other.txt");
  slot::OpenForInput(input);
  EXPECT_EQ(ErrorOf([&] { slot::OpenForInput(input); }), 55);
  EXPECT_EQ(ErrorOf([&] { slot::OpenForOutput(other); }), 55);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "other.txt"));  // the refused open created nothing
  slot::Close();
  slot::OpenForOutput(other);
  EXPECT_EQ(ErrorOf([&] { slot::OpenForInput(input); }), 55);
  EXPECT_EQ(ErrorOf([&] { slot::OpenForOutput(other); }), 55);
}

TEST_F(SlotSharing, CloseFreesTheSlotAndClosingTwiceIsHarmless) {
  slot::OpenForOutput(Name("a.txt"));
  slot::Close();
  EXPECT_FALSE(slot::IsOpen());
  EXPECT_EQ(ErrorOf(slot::Close), 0);
  slot::OpenForInput(Name("a.txt"));
  EXPECT_TRUE(slot::IsOpen());
}

TEST_F(SlotSharing, ReadingAndWritingNeedTheirOwnKindOfOpenFile) {
  EXPECT_EQ(ErrorOf(slot::AtEnd), 52);
  EXPECT_EQ(ErrorOf(slot::InputLines), 52);
  EXPECT_EQ(ErrorOf([] { slot::WriteLine(u"x"); }), 52);
  slot::OpenForOutput(Name("out.txt"));
  EXPECT_EQ(ErrorOf([] { slot::ReadLinePiece(SIZE_MAX); }), 54);
  EXPECT_EQ(ErrorOf(slot::InputLines), 54);
  slot::Close();
  slot::OpenForInput(Name("out.txt"));
  EXPECT_EQ(ErrorOf(slot::Flush), 54);
}

TEST_F(Output, OpeningCreatesAMissingFileAndEmptiesAnExistingOne) {
  const auto fresh = Name("fresh.txt");
  const auto old = WriteBytes("old.txt", "old contents\r\n");
  slot::OpenForOutput(fresh);
  slot::Close();
  EXPECT_TRUE(std::filesystem::is_regular_file(folder_ / "fresh.txt"));
  slot::OpenForOutput(old);
  slot::Write(u"n");
  EXPECT_EQ(BytesAfterClose(old), "n");
}

TEST_F(Output, WriteAddsNoLineEndAndWriteLineAddsCrLf) {
  const auto name = OpenOutput("out.txt");
  slot::Write(u"\t");
  slot::Write(u"a");
  slot::WriteLine(u"b");
  slot::WriteLine(u"");
  slot::Flush();
  EXPECT_EQ(ReadBytes(name), "\tab\r\n\r\n");  // handed over while still open
  slot::WriteLine(u"c");
  EXPECT_EQ(BytesAfterClose(name), "\tab\r\n\r\nc\r\n");
}

TEST_F(Output, FullDeviceFailsTheFlushAndLeavesTheFileOpen) {
  slot::OpenForOutput(u"/dev/full");
  slot::WriteLine(u"lost");
  EXPECT_EQ(ErrorOf(slot::Flush), 61);
  EXPECT_TRUE(slot::IsOpen());
  EXPECT_EQ(ErrorOf(slot::Close), 0);  // the failed bytes were dropped, not retried
}

TEST_F(Output, CloseThatFailsStillFreesTheSlot) {
  slot::OpenForOutput(u"/dev/full");
  slot::WriteLine(u"lost");
  EXPECT_EQ(ErrorOf(slot::Close), 61);
  EXPECT_FALSE(slot::IsOpen());
  slot::OpenForOutput(Name("next.txt"));
}

// A file size limit makes the disk "full" just after the text handed over
// first, as a real full disk would.
TEST_F(Output, TextHandedOverBeforeADiskFullStaysInTheFile) {
  const auto name = OpenOutput("out.txt");
  slot::WriteLine(u"kept");
  slot::Flush();
  rlimit saved;
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const rlimit tight{6, saved.rlim_max};
  ::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
  slot::WriteLine(u"refused");
  const int error = ErrorOf(slot::Flush);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_EQ(error, 61);
  EXPECT_EQ(BytesAfterClose(name), "kept\r\n");
}

TEST_F(OpenErrors, MissingFileFolderOrNameHasItsNumber) {
  EXPECT_EQ(ErrorOf([&] { slot::OpenForInput(Name("absent.txt")); }), 53);
  EXPECT_EQ(ErrorOf([&] { slot::OpenForInput(Name("no/such/folder.txt")); }), 53);
  EXPECT_EQ(ErrorOf([&] { slot::OpenForOutput(Name("no/such/folder.txt")); }), 76);
  EXPECT_EQ(ErrorOf([] { slot::OpenForInput(u""); }), 52);
  EXPECT_EQ(ErrorOf([] { slot::OpenForOutput(u""); }), 52);
  EXPECT_EQ(ErrorOf([&] { slot::OpenForOutput(Name(std::string(300, 'n'))); }), 52);
  EXPECT_FALSE(slot::IsOpen());
}

// What OpenForInputIfPresent takes for no file at all: false, nothing raised,
// the slot left free.
TEST_F(OpenErrors, NameOfNoFileIsNotPresent) {
  std::filesystem::create_directory(folder_ / "sub");
  WriteBytes("plain.txt", "x");
  std::filesystem::create_symlink("loop", folder_ / "loop");
  const std::u16string names[] = {
      Name("absent.txt"), Name("no/such/folder.txt"), Name("plain.txt/below"), Name(std::string(300, 'n')),
      Name("loop"),       Name("sub"),                std::u16string(u"a\0b", 3), u"",
  };
  for (const std::u16string& name : names) {
    EXPECT_FALSE(slot::OpenForInputIfPresent(name)) << ostrel::com::ToUtf8(name);
    EXPECT_FALSE(slot::IsOpen());
  }
}

TEST_F(OpenErrors, PresentFileIsOpenedAndARefusedOneRaises) {
  EXPECT_TRUE(slot::OpenForInputIfPresent(WriteBytes("in.txt", "line")));
  EXPECT_EQ(slot::ReadLinePiece(SIZE_MAX).text, u"line");
  slot::Close();
  ASSERT_EQ(::mkfifo((folder_ / "pipe").c_str(), 0600), 0);
  EXPECT_EQ(ErrorOf([&] { slot::OpenForInputIfPresent(Name("pipe")); }), 75);
  EXPECT_FALSE(slot::IsOpen());
}

TEST_F(OpenErrors, FolderIsNoFileForReadingOrWriting) {
  std::filesystem::create_directory(folder_ / "sub");
  EXPECT_EQ(ErrorOf([&] { slot::OpenForInput(Name("sub")); }), 75);
  EXPECT_EQ(ErrorOf([&] { slot::OpenForOutput(Name("sub")); }), 75);
  EXPECT_FALSE(slot::IsOpen());
}

TEST_F(OpenErrors, FifoWithoutAPartnerIsRefusedInsteadOfWaitedFor) {
  ASSERT_EQ(::mkfifo((folder_ / "pipe").c_str(), 0600), 0);
  EXPECT_EQ(ErrorOf([&] { slot::OpenForInput(Name("pipe")); }), 75);
  EXPECT_EQ(ErrorOf([&] { slot::OpenForOutput(Name("pipe")); }), 75);
  EXPECT_FALSE(slot::IsOpen());
}

// Root may read almost anything; a write-only kernel attribute refuses even
// root, also behind a link.
TEST_F(OpenErrors, FileThatMayNotBeReadRaises70SayingReading) {
  const std::filesystem::path writeOnly = "/sys/bus/pci/drivers_probe";
  if (!std::filesystem::exists(writeOnly)) GTEST_SKIP() << writeOnly << " is missing";
  std::filesystem::create_symlink(writeOnly, folder_ / "memo.xml");
  try {
    slot::OpenForInput(Name("memo.xml"));
    FAIL() << "opened";
  } catch (const ostrel::com::RuntimeError& error) {
    EXPECT_EQ(error.number(), 70);
    EXPECT_EQ(error.description(), u"読み込みできません。");
  }
  EXPECT_FALSE(slot::IsOpen());
}

// Root may write almost anywhere; a read-only kernel attribute refuses even root.
TEST_F(OpenErrors, FileThatMayNotBeWrittenRaises70) {
  const std::filesystem::path readOnly = "/sys/kernel/notes";
  if (!std::filesystem::exists(readOnly)) GTEST_SKIP() << readOnly << " is missing";
  EXPECT_EQ(ErrorOf([&] { slot::OpenForOutput(ostrel::com::FromUtf8(readOnly.string())); }), 70);
}

}  // namespace
