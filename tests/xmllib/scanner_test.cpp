// The token scanner, through files on disk: which tokens a file gives, with
// which texts, and where positions overflow.
#include "xmllib/scanner.h"

#include <string>
#include <vector>

#include "tests/xmllib/xml_test_support.h"

namespace {

using ostrel::TokenKind;
using ostrel::TokenScanner;
using ostrel_test::Utf8;
using Tokens = std::vector<std::string>;

std::string NameOf(TokenKind kind) {
  switch (kind) {
    case TokenKind::EndOfInput: return "EndOfInput";
    case TokenKind::StartTag: return "StartTag";
    case TokenKind::EndTag: return "EndTag";
    case TokenKind::EmptyTag: return "EmptyTag";
    case TokenKind::Content: return "Content";
    case TokenKind::Comment: return "Comment";
    case TokenKind::ProcessingInstruction: return "ProcessingInstruction";
  }
  return "?";
}

class ScannerTest : public ostrel_test::XmlFileTest {
 protected:
  // "Kind:text" for each token of a file of LINES, up to the first EndOfInput.
  Tokens Scan(std::initializer_list<std::string_view> lines) { return ScanFile(WriteLines("input.xml", lines)); }

  Tokens ScanFile(const std::u16string& path) {
    EXPECT_TRUE(scanner.OpenInput(path));
    Tokens tokens;
    std::u16string_view text;
    TokenKind kind = TokenKind::Content;
    while (kind != TokenKind::EndOfInput && tokens.size() < 100000) {
      kind = scanner.NextToken(text);
      tokens.push_back(NameOf(kind) + ":" + Utf8(text));
    }
    scanner.CloseInput();
    return tokens;
  }

  // The number of the run-time error that scanning LINES raises, 0 for none.
  int32_t ScanError(std::initializer_list<std::string_view> lines) {
    try {
      Scan(lines);
      return 0;
    } catch (const ostrel::com::RuntimeError& error) {
      scanner.CloseInput();
      return error.number();
    }
  }

  TokenScanner scanner;
};

// A line of COUNT copies of C.
std::string Repeat(std::size_t count, char c) { return std::string(count, c); }

// --- Tags ---

TEST_F(ScannerTest, ContentAfterATagStaysPendingUntilTheNextLine) {
  EXPECT_EQ(Scan({"<a>x", "</a>"}), (Tokens{"StartTag:a", "Content:x", "EndTag:a", "Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, TagsSideBySideGiveNoContentBetween) {
  EXPECT_EQ(Scan({"<a><b>"}), (Tokens{"StartTag:a", "StartTag:b", "Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, BlanksBetweenTagsOnOneLineAreContent) {
  EXPECT_EQ(Scan({"<a> <b>"}), (Tokens{"StartTag:a", "Content: ", "StartTag:b", "Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, IndentedTagsOnTheirOwnLinesGiveNoContent) {
  EXPECT_EQ(Scan({"<a>", " \t  <b>"}), (Tokens{"StartTag:a", "StartTag:b", "Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, TagOverTwoLinesIsJoinedByOneSpace) {
  EXPECT_EQ(Scan({"<sentence", "   Title=\"x\">"}),
            (Tokens{"StartTag:sentence Title=\"x\"", "Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, BlanksBeforeALineBreakInATagStay) {
  EXPECT_EQ(Scan({"<a  ", "x>"}), (Tokens{"StartTag:a   x", "Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, BreakRightAfterTheStartMarkLeavesNoSpace) {
  EXPECT_EQ(Scan({"<", "/a>"}), (Tokens{"StartTag:/a", "Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, EmptyElementTagsLoseOnlyTheirSlash) {
  EXPECT_EQ(Scan({"<a/>", "<a />", "<a x=\"1\"/>"}),
            (Tokens{"EmptyTag:a", "EmptyTag:a ", "EmptyTag:a x=\"1\"", "Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, EmptyBracketsAreAStartTagWithEmptyText) {
  EXPECT_EQ(Scan({"<>"}), (Tokens{"StartTag:", "Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, EndTagKeepsABlankBeforeItsBracket) {
  EXPECT_EQ(Scan({"</a >"}), (Tokens{"EndTag:a ", "Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, EndTagWithASlashEndsTheInput) {
  EXPECT_EQ(Scan({"<a></a/>"}), (Tokens{"StartTag:a", "EndOfInput:a"}));
}

TEST_F(ScannerTest, LessThanInContentOpensATagThatRunsToTheNextBracket) {
  // The line joined to the open tag is trimmed together with what stood
  // after the "<", so the blank before "b" goes too.
  EXPECT_EQ(Scan({"<r>a < b", "c>d</r>"}),
            (Tokens{"StartTag:r", "Content:a ", "StartTag:b c", "Content:d", "EndTag:r", "Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, LeadingSpacesTabsAndNulsOfEveryLineAreDropped) {
  const std::string bytes = std::string("\t\0 <a\r\n \0\tb>\r\n", 14);
  EXPECT_EQ(ScanFile(WriteBytes("input.xml", bytes)), (Tokens{"StartTag:a b", "Content:", "EndOfInput:"}));
}

// --- Comments and processing instructions ---

TEST_F(ScannerTest, CommentRunsFromItsBangToTheArrow) {
  EXPECT_EQ(Scan({"<!-- note -->"}), (Tokens{"Comment:-- note -", "Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, DeclarationRunsOnToTheNextArrowWhereverItIs) {
  EXPECT_EQ(Scan({"<!DOCTYPE memo>", "<!-- c -->"}),
            (Tokens{"Comment:DOCTYPE memo> <!-- c -", "Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, ProcessingInstructionRunsToItsEndMark) {
  EXPECT_EQ(Scan({"<?xml version=\"1.0\"?><a>"}),
            (Tokens{"ProcessingInstruction:xml version=\"1.0\"", "StartTag:a", "Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, EndMarkIsNeverFoundAcrossALineBreak) {
  EXPECT_EQ(Scan({"<?x ?", ">", "?>"}), (Tokens{"ProcessingInstruction:x ? > ", "Content:", "EndOfInput:"}));
}

// --- Content ---

TEST_F(ScannerTest, ContentLinesAreJoinedByCrLfWithoutTheirIndentation) {
  EXPECT_EQ(Scan({"<a>one", "    two", "</a>"}),
            (Tokens{"StartTag:a", "Content:one\r\ntwo", "EndTag:a", "Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, ContentOnItsOwnLineHasNoBreakInFront) {
  EXPECT_EQ(Scan({"<a>", "one", "two", "</a>"}),
            (Tokens{"StartTag:a", "Content:one\r\ntwo", "EndTag:a", "Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, EmptyLineInContentAddsALineBreak) {
  EXPECT_EQ(Scan({"<a>one", "", "two</a>"}),
            (Tokens{"StartTag:a", "Content:one\r\n\r\ntwo", "EndTag:a", "Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, BlanksAfterATagAreTrimmedButTheirLineBreakStays) {
  EXPECT_EQ(Scan({"<a>  ", "text", "</a>"}),
            (Tokens{"StartTag:a", "Content:\r\ntext", "EndTag:a", "Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, OnlyOneFinalLineBreakIsRemoved) {
  EXPECT_EQ(Scan({"<a>  ", "</a>", "<b>x", "", "</b>"}),
            (Tokens{"StartTag:a", "Content:", "EndTag:a", "StartTag:b", "Content:x\r\n", "EndTag:b",
                    "Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, EntityReferencesAreLeftAsTheyStand) {
  EXPECT_EQ(Scan({"<a>&lt;</a>"}), (Tokens{"StartTag:a", "Content:&lt;", "EndTag:a", "Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, ContentWithNoTagAfterItIsDropped) {
  EXPECT_EQ(Scan({"<a>", "tail", "more"}), (Tokens{"StartTag:a", "Content:", "EndOfInput:"}));
}

// --- Lines read while nothing is pending ---

TEST_F(ScannerTest, EmptyAndBlankLinesBetweenTokensVanish) {
  EXPECT_EQ(Scan({"<a>", "", " \t ", "", "\t<b>", "  ", "</b>"}),
            (Tokens{"StartTag:a", "StartTag:b", "EndTag:b", "Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, LineEndingRightAfterATokenLeavesNothingBehind) {
  EXPECT_EQ(Scan({"<a>x</a>", "<b>y</b>", "<c/>"}),
            (Tokens{"StartTag:a", "Content:x", "EndTag:a", "StartTag:b", "Content:y", "EndTag:b", "EmptyTag:c",
                    "Content:", "EndOfInput:"}));
}

// The "<" is the last unit of a line whose tokens went before it: the tag
// goes on in the next line, with no separator in between.
TEST_F(ScannerTest, StartMarkEndingALineOfTokensOpensATagInTheNext) {
  EXPECT_EQ(Scan({"<a>x<", "  /a>", "<b><!", "-c->"}),
            (Tokens{"StartTag:a", "Content:x", "StartTag:/a", "StartTag:b", "Comment:-c", "Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, TokensCrossingLinesAfterTokensOnTheirFirstLine) {
  EXPECT_EQ(Scan({"<r><s", "t=\"1\">one", "two</s><!-- a", "b --></r>"}),
            (Tokens{"StartTag:r", "StartTag:s t=\"1\"", "Content:one\r\ntwo", "EndTag:s", "Comment:-- a b -",
                    "EndTag:r", "Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, LastLineWithoutALineEndIsReadLikeAnyOther) {
  EXPECT_EQ(ScanFile(WriteBytes("bare.xml", "<a>x</a>\r\n\t<b>y</b>")),
            (Tokens{"StartTag:a", "Content:x", "EndTag:a", "StartTag:b", "Content:y", "EndTag:b", "Content:",
                    "EndOfInput:"}));
  EXPECT_EQ(ScanFile(WriteBytes("blank.xml", "<a/>\r\n \t")), (Tokens{"EmptyTag:a", "Content:", "EndOfInput:"}));
  EXPECT_EQ(ScanFile(WriteBytes("open.xml", "<a/>\r\n<b")), (Tokens{"EmptyTag:a", "EndOfInput:b"}));
}

// Lines are taken inline while the reader has them decoded and read on at
// the end of each block it decodes: tokens on either side of every block
// border, on one line or over two, arrive the same.
TEST_F(ScannerTest, TokensArriveWholeAcrossTheReadersBlocks) {
  std::string bytes;
  Tokens expected;
  for (int memo = 0; memo < 12000; ++memo) {
    const std::string n = std::to_string(memo);
    if (memo % 3 == 0) {
      bytes += "\t<s t=\"" + n + "\">x" + n + "</s>\r\n";
      expected.insert(expected.end(), {"StartTag:s t=\"" + n + "\"", "Content:x" + n, "EndTag:s"});
    } else if (memo % 3 == 1) {
      bytes += "\t<s>y" + n + "\r\n\t\tz</s>\r\n";
      expected.insert(expected.end(), {"StartTag:s", "Content:y" + n + "\r\nz", "EndTag:s"});
    } else {
      bytes += "\t<s\r\n  t=\"" + n + "\"/>\r\n";
      expected.push_back("EmptyTag:s t=\"" + n + "\"");
    }
  }
  expected.insert(expected.end(), {"Content:", "EndOfInput:"});
  ASSERT_GT(bytes.size(), 3u * 65536);
  EXPECT_EQ(ScanFile(WriteBytes("blocks.xml", bytes)), expected);
}

// --- The end of the input ---

TEST_F(ScannerTest, TrailingBlankLinesEndLikeAnyOtherEnd) {
  EXPECT_EQ(Scan({"<a/>", "", "   "}), (Tokens{"EmptyTag:a", "Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, EmptyFileGivesEmptyContentThenTheEnd) {
  EXPECT_EQ(ScanFile(WriteBytes("empty.xml", "")), (Tokens{"Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, InputEndingInsideATagDeliversWhatWasRead) {
  EXPECT_EQ(Scan({"<sentence Title=\"x\""}), (Tokens{"EndOfInput:sentence Title=\"x\""}));
  EXPECT_EQ(Scan({"<a", "b"}), (Tokens{"EndOfInput:a b"}));
  EXPECT_EQ(Scan({"<!-- c"}), (Tokens{"EndOfInput:-- c"}));
}

TEST_F(ScannerTest, AfterTheEndTheTextIsLeftAsItWas) {
  ASSERT_TRUE(scanner.OpenInput(WriteLines("input.xml", {"<a>"})));
  std::u16string_view text;
  EXPECT_EQ(scanner.NextToken(text), TokenKind::StartTag);
  EXPECT_EQ(scanner.NextToken(text), TokenKind::Content);
  text = u"kept";
  EXPECT_EQ(scanner.NextToken(text), TokenKind::EndOfInput);
  EXPECT_EQ(scanner.NextToken(text), TokenKind::EndOfInput);
  EXPECT_EQ(text, u"kept");
  EXPECT_TRUE(scanner.CloseInput());
}

// --- Opening and closing ---

TEST_F(ScannerTest, InputNeverOpenedOrClosedHasEnded) {
  std::u16string_view text = u"kept";
  EXPECT_EQ(scanner.NextToken(text), TokenKind::EndOfInput);
  ASSERT_TRUE(scanner.OpenInput(WriteLines("input.xml", {"<a>", "<b>"})));
  EXPECT_EQ(scanner.NextToken(text), TokenKind::StartTag);
  EXPECT_TRUE(scanner.CloseInput());
  text = u"kept";
  EXPECT_EQ(scanner.NextToken(text), TokenKind::EndOfInput);
  EXPECT_EQ(text, u"kept");
}

TEST_F(ScannerTest, OpeningStartsAfreshAfterAFileLeftTextPending) {
  EXPECT_EQ(Scan({"<a>", "tail"}), (Tokens{"StartTag:a", "Content:", "EndOfInput:"}));
  EXPECT_EQ(ScanFile(WriteLines("second.xml", {"<b>"})), (Tokens{"StartTag:b", "Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, MissingFileIsNotOpened) {
  EXPECT_FALSE(scanner.OpenInput(PathOf("missing.xml")));
  EXPECT_FALSE(ostrel::com::file_slot::IsOpen());
}

TEST_F(ScannerTest, TakenFileSlotRaisesAndStaysWithItsOwner) {
  const std::u16string input = WriteLines("input.xml", {"<a>"});
  ostrel::com::file_slot::OpenForOutput(PathOf("other.xml"));
  try {
    scanner.OpenInput(input);
    ADD_FAILURE() << "opening while the slot is taken succeeded";
  } catch (const ostrel::com::RuntimeError& error) {
    EXPECT_EQ(error.number(), ostrel::com::errnum::kFileAlreadyOpen);
  }
  EXPECT_TRUE(ostrel::com::file_slot::IsOpen());
  ostrel::com::file_slot::Close();
}

// --- 16-bit positions ---

TEST_F(ScannerTest, TagEndingAtTheLastPositionIsRead) {
  const std::string name = Repeat(32765, 'a');
  EXPECT_EQ(Scan({"<" + name + ">"}), (Tokens{"StartTag:" + name, "Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, TagEndingOnePositionFurtherOverflows) {
  EXPECT_EQ(ScanError({"<" + Repeat(32766, 'a') + ">"}), ostrel::com::errnum::kOverflow);
}

TEST_F(ScannerTest, LongerEndMarkOverflowsSooner) {
  EXPECT_EQ(ScanError({"<!" + Repeat(32764, 'c') + "->"}), 0);
  EXPECT_EQ(ScanError({"<!" + Repeat(32765, 'c') + "->"}), ostrel::com::errnum::kOverflow);
}

TEST_F(ScannerTest, ContentClosedBeyondTheLastPositionOverflows) {
  EXPECT_EQ(ScanError({"<a>" + Repeat(32766, 'x') + "</a>"}), 0);
  EXPECT_EQ(ScanError({"<a>" + Repeat(32767, 'x') + "</a>"}), ostrel::com::errnum::kOverflow);
}

TEST_F(ScannerTest, LineLedByTooManyBlanksOverflows) {
  EXPECT_EQ(ScanError({Repeat(32766, ' ') + "<a>"}), 0);
  EXPECT_EQ(ScanError({Repeat(32767, ' ') + "<a>"}), ostrel::com::errnum::kOverflow);
}

TEST_F(ScannerTest, PendingTextLedByTooManyBlanksOverflows) {
  EXPECT_EQ(ScanError({"<a>" + Repeat(32766, ' '), "x</a>"}), 0);
  EXPECT_EQ(ScanError({"<a>" + Repeat(32767, ' '), "x</a>"}), ostrel::com::errnum::kOverflow);
}

TEST_F(ScannerTest, TagOverThousandsOfLinesArrivesWhole) {
  std::string bytes = "<t\r\n";
  std::string expected = "t";
  for (int line = 0; line < 3000; ++line) {
    const std::string item = "k" + std::to_string(line % 10) + "=\"v\"";
    bytes += "  " + item + "\r\n";
    expected += " " + item;
  }
  bytes += "/>\r\n";
  EXPECT_EQ(ScanFile(WriteBytes("long.xml", bytes)), (Tokens{"EmptyTag:" + expected + " ", "Content:", "EndOfInput:"}));
}

TEST_F(ScannerTest, UnterminatedTagLongerThanAnyPositionIsDeliveredWhole) {
  std::string bytes = "<t";
  std::string expected = "t";
  for (int line = 0; line < 4000; ++line) {
    bytes += "\r\nabcdefghi";
    expected += " abcdefghi";
  }
  EXPECT_EQ(ScanFile(WriteBytes("long.xml", bytes + "\r\n")), (Tokens{"EndOfInput:" + expected}));
}

}  // namespace

// --- Lines longer than the pieces they are read in ---

class LongLineTest : public ScannerTest {
 protected:
  // A line is read 65,536 units at a time.
  static constexpr std::size_t kPiece = 65536;
};

TEST_F(LongLineTest, LineOfShortTokensGivesEveryToken) {
  std::string line;
  for (int i = 0; i < 20000; ++i) line += "<ab>xy</ab>";  // 11 units, so pieces end at every offset
  const Tokens tokens = Scan({line});
  ASSERT_EQ(tokens.size(), 60002u);
  for (std::size_t i = 0; i < 60000; i += 3) {
    ASSERT_EQ(tokens[i], "StartTag:ab") << i;
    ASSERT_EQ(tokens[i + 1], "Content:xy") << i;
    ASSERT_EQ(tokens[i + 2], "EndTag:ab") << i;
  }
  EXPECT_EQ(tokens[60000], "Content:");
}

TEST_F(LongLineTest, StartMarkCutByAPieceIsStillOneMark) {
  std::string lead;
  for (std::size_t i = 0; i < (kPiece - 4) / 4; ++i) lead += "<a/>";
  lead += "<c>";  // the next "<" is the piece's last unit
  ASSERT_EQ(lead.size(), kPiece - 1);
  Tokens comment = Scan({lead + "<!x-></c>"});
  Tokens endTag = Scan({lead + "</c>"});
  ASSERT_EQ(comment.size(), 16383u + 5);
  EXPECT_EQ(Tokens(comment.end() - 5, comment.end()), (Tokens{"StartTag:c", "Comment:x", "EndTag:c", "Content:", "EndOfInput:"}));
  EXPECT_EQ(Tokens(endTag.end() - 4, endTag.end()), (Tokens{"StartTag:c", "EndTag:c", "Content:", "EndOfInput:"}));
}

// The first piece of the line, its leading blank included, ends right after
// a token, so the next token starts a piece of its own.
TEST_F(LongLineTest, PieceEndingRightAfterATokenLeavesTheRestWhole) {
  std::string line = "\t";
  while (line.size() < kPiece) line += "<ab/>";
  ASSERT_EQ(line.size(), kPiece);
  const Tokens tokens = Scan({line + "<b>x</b>", "<c/>"});
  ASSERT_EQ(tokens.size(), kPiece / 5 + 6);
  EXPECT_EQ(tokens.front(), "EmptyTag:ab");
  EXPECT_EQ(Tokens(tokens.end() - 7, tokens.end()),
            (Tokens{"EmptyTag:ab", "StartTag:b", "Content:x", "EndTag:b", "EmptyTag:c", "Content:", "EndOfInput:"}));
}

TEST_F(LongLineTest, TagAcrossPiecesArrivesWhole) {
  std::string lead;
  for (int i = 0; i < 15000; ++i) lead += "<a/>";
  const std::string name = Repeat(30000, 'n');
  EXPECT_EQ(Scan({lead + "<" + name + ">"}).at(15000), "StartTag:" + name);
}

TEST_F(LongLineTest, ContentLongerThanAPieceThatNoTagClosesIsDropped) {
  EXPECT_EQ(Scan({"<a>" + Repeat(200000, 'x')}), (Tokens{"StartTag:a", "Content:", "EndOfInput:"}));
  EXPECT_EQ(Scan({"<a>" + Repeat(200000, 'x'), "more text"}), (Tokens{"StartTag:a", "Content:", "EndOfInput:"}));
}

TEST_F(LongLineTest, ContentLongerThanAPieceOverflowsAtTheTagThatClosesIt) {
  EXPECT_EQ(ScanError({"<a>" + Repeat(200000, 'x') + "</a>"}), ostrel::com::errnum::kOverflow);
  EXPECT_EQ(ScanError({"<a>" + Repeat(200000, 'x'), "y", "</a>"}), ostrel::com::errnum::kOverflow);
}

TEST_F(LongLineTest, BlanksAfterATagOverflowOnlyWhenTheNextLineTrimsThem) {
  EXPECT_EQ(Scan({"<a>" + Repeat(100000, ' ')}), (Tokens{"StartTag:a", "Content:", "EndOfInput:"}));
  EXPECT_EQ(ScanError({"<a>" + Repeat(100000, ' '), "x"}), ostrel::com::errnum::kOverflow);
  EXPECT_EQ(ScanError({"<a>" + Repeat(100000, ' ') + "</a>"}), ostrel::com::errnum::kOverflow);
}

// Blanks that the next line trims away bring the rest within the positions.
TEST_F(LongLineTest, ContentLedByBlanksIsKeptUntilTheirTrimDecides) {
  const std::string text = Repeat(5000, 'x');
  EXPECT_EQ(Scan({"<a>" + Repeat(30000, ' ') + text, "y</a>"}),
            (Tokens{"StartTag:a", "Content:" + text + "\r\ny", "EndTag:a", "Content:", "EndOfInput:"}));
}
