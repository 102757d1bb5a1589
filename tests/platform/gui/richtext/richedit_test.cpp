// The rich edit: files in RTF and plain text, character and paragraph
// attributes, undo and clipboard, lines from positions, change events and
// dropped files.
#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextEdit>
#include <QTextList>

#include "tests/platform/gui/gui_test_support.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/richtext/richedit.h"
#include "platform/gui/richtext/rtf_reader.h"
#include "platform/gui/richtext/rtf_writer.h"
#include "platform/rtl/codepages.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/write_fault.h"

namespace {

class RichEditTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    form = std::make_unique<TForm>(nullptr);
    edit = new TRichEdit(form.get(), form.get());
    edit->SetBounds(0, 0, 400, 300);
  }
  std::u16string Text(int paragraph) { return edit->Document().Paragraphs.at(paragraph).Text(); }
  std::unique_ptr<TForm> form;
  TRichEdit* edit;
  vx::test::ScratchFolder dir{"richedit-"};
};

vx::RichDocument Doc(const char* utf8Text) {
  return vx::RichDocument::FromPlainText(vx::Utf8ToCp1251(utf8Text), {"Arial", 10, {}});
}

TEST_F(RichEditTest, RtfFilesLoadAndSaveWithTheirAttributes) {
  vx::RichDocument doc = Doc("Первая строка\r\nвторая");
  doc.Paragraphs[0].Runs[0].Format.Style = {fsBold};
  doc.Paragraphs[1].Format = {vx::RichAlignment::Center, 12, 6, 3, true};
  doc.Paragraphs[1].Runs[0].Format = {"Times New Roman", 14, {fsItalic}};
  vx::test::WriteWholeFile(dir / "in.rtf", vx::WriteRtf(doc));
  edit->Lines()->LoadFromFile(dir / "in.rtf");
  EXPECT_EQ(edit->Document(), doc);
  EXPECT_EQ(edit->Lines()->Count(), 2);
  EXPECT_EQ(edit->Lines()->Strings(1), vx::Utf8ToCp1251("вторая"));
  edit->SetSelStart(16);
  EXPECT_EQ(edit->Paragraph()->Alignment(), taCenter);
  EXPECT_EQ(edit->Paragraph()->FirstIndent(), 12);
  EXPECT_EQ(edit->Paragraph()->LeftIndent(), 6);
  EXPECT_EQ(edit->Paragraph()->RightIndent(), 3);
  EXPECT_EQ(edit->Paragraph()->Numbering(), nsBullet);
  EXPECT_EQ(edit->SelAttributes()->Name(), "Times New Roman");
  EXPECT_EQ(edit->SelAttributes()->Size(), 14);

  edit->Lines()->SaveToFile(dir / "out.rtf");
  EXPECT_EQ(vx::ReadRtf(vx::test::ReadWholeFile(dir / "out.rtf")), doc);

  // Plain mode writes CP1251 lines without mark-up and reads RTF as text.
  edit->SetPlainText(true);
  edit->Lines()->SaveToFile(dir / "out.txt");
  EXPECT_EQ(vx::test::ReadWholeFile(dir / "out.txt"), vx::Utf8ToCp1251("Первая строка\r\nвторая\r\n"));
  edit->Lines()->LoadFromFile(dir / "in.rtf");
  EXPECT_EQ(edit->Lines()->Strings(0).rfind("{\\rtf1", 0), 0u);

  // A file that cannot be read changes nothing.
  const vx::RichDocument before = edit->Document();
  EXPECT_THROW(edit->Lines()->LoadFromFile(dir / "missing.rtf"), EFOpenError);
  EXPECT_EQ(edit->Document(), before);
  EXPECT_THROW(edit->Lines()->SaveToFile(dir / "no/such/folder.rtf"), EFCreateError);
}

// The RTF file was written with direct system calls the fault hook never
// saw, so a write failing halfway could not be tested; now it goes through
// the OS layer's file, the save raises, and the old file stays as it was.
TEST_F(RichEditTest, ASaveFailingHalfwayKeepsTheOldFile) {
  vx::test::WriteWholeFile(dir / "doc.rtf", "{\\rtf1\\ansi old\\par}");
  edit->SetDocument(Doc("Новый текст, длиннее старого"));
  {
    vx::test::HalfWriteFault fault(dir.Path());
    EXPECT_THROW(edit->Lines()->SaveToFile(dir / "doc.rtf"), EFCreateError);
    EXPECT_TRUE(fault.Hit());
  }
  EXPECT_EQ(vx::test::ReadWholeFile(dir / "doc.rtf"), "{\\rtf1\\ansi old\\par}");
  EXPECT_EQ(vx::test::FolderNames(dir.Path()), std::vector<std::string>{"doc.rtf"});
}

TEST_F(RichEditTest, AttributesApplyToTheSelectionOrToWhatIsTypedNext) {
  edit->SetDocument(Doc("one two"));
  edit->SetSelStart(4);
  edit->SetSelLength(3);
  EXPECT_EQ(edit->SelText(), "two");
  edit->SelAttributes()->SetStyle({fsBold, fsUnderline});
  edit->SelAttributes()->SetSize(16);
  const auto runs = edit->Document().Paragraphs[0].Runs;
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[1].Text, u"two");
  EXPECT_EQ(runs[1].Format.Style, (TFontStyles{fsBold, fsUnderline}));
  EXPECT_EQ(runs[1].Format.Size, 16);
  EXPECT_EQ(runs[0].Format.Style, TFontStyles{});

  edit->SetSelStart(3);
  edit->DefAttributes()->SetStyle({fsItalic});
  EXPECT_EQ(edit->DefAttributes()->Style(), TFontStyles{fsItalic});
  edit->SetFocus();
  vx::SendText(edit, "X");
  const auto typed = edit->Document().Paragraphs[0].Runs;
  ASSERT_EQ(typed.size(), 4u);
  EXPECT_EQ(typed[1].Text, u"X");
  EXPECT_EQ(typed[1].Format.Style, TFontStyles{fsItalic});
  EXPECT_EQ(typed[2].Text, u" ");
  EXPECT_EQ(typed[2].Format.Style, TFontStyles{}) << "text already there keeps its format";
}

TEST_F(RichEditTest, ParagraphAttributesApplyToEveryParagraphOfTheSelection) {
  edit->SetDocument(Doc("a\r\nb\r\nc"));
  edit->SetSelStart(1);
  edit->SetSelLength(2);  // from the end of "a" into "b"
  edit->Paragraph()->SetAlignment(taRightJustify);
  edit->Paragraph()->SetFirstIndent(20);
  edit->Paragraph()->SetLeftIndent(-10);
  edit->Paragraph()->SetRightIndent(5);
  edit->Paragraph()->SetNumbering(nsBullet);
  const vx::RichDocument doc = edit->Document();
  for (int i : {0, 1})
    EXPECT_EQ(doc.Paragraphs[i].Format, (vx::RichParagraphFormat{vx::RichAlignment::Right, 20, -10, 5, true}));
  EXPECT_EQ(doc.Paragraphs[2].Format, vx::RichParagraphFormat{});
  edit->Paragraph()->SetNumbering(nsNone);
  EXPECT_FALSE(edit->Document().Paragraphs[1].Format.Bullet);
  EXPECT_EQ(edit->Document().Paragraphs[1].Format.FirstIndent, 20);
}

// Qt lays out every paragraph of a list again whenever one joins or leaves
// it, so long runs of bullets are kept in short lists. With one list per
// run, 32,000 bullets took half a minute to load and 100,000 never ended.
TEST_F(RichEditTest, LongRunsOfBulletsLoadAndNumberInShortLists) {
  vx::RichDocument doc;
  for (int i = 0; i < 1101; ++i) {
    vx::RichParagraph p;
    p.Format.Bullet = i != 1000;
    p.Append(u"item " + vx::Cp1251ToUtf16(std::to_string(i)), {"Arial", 10, {}});
    doc.Paragraphs.push_back(p);
  }
  auto* widget = qobject_cast<QTextEdit*>(edit->Widget());
  ASSERT_NE(widget, nullptr);
  auto longestList = [&] {
    int longest = 0;
    for (QTextBlock b = widget->document()->begin(); b.isValid(); b = b.next())
      if (QTextList* list = b.textList()) longest = std::max(longest, list->count());
    return longest;
  };
  auto bullets = [&] {
    std::string marks;
    for (const vx::RichParagraph& p : edit->Document().Paragraphs) marks += p.Format.Bullet ? 'b' : '-';
    return marks;
  };
  auto select = [&](int first, int last) {  // paragraphs first..last
    edit->SetSelStart(widget->document()->findBlockByNumber(first).position());
    edit->SetSelLength(widget->document()->findBlockByNumber(last).position() - edit->SelStart());
  };

  vx::test::WriteWholeFile(dir / "bullets.rtf", vx::WriteRtf(doc));
  edit->Lines()->LoadFromFile(dir / "bullets.rtf");
  EXPECT_EQ(edit->Document(), doc);
  EXPECT_LE(longestList(), 32);

  select(10, 900);
  edit->Paragraph()->SetNumbering(nsNone);
  EXPECT_EQ(bullets(),
            std::string(10, 'b') + std::string(891, '-') + std::string(99, 'b') + "-" + std::string(100, 'b'));
  EXPECT_EQ(edit->Document().Paragraphs[500].Format.FirstIndent, 0);
  edit->SelectAll();
  edit->Paragraph()->SetNumbering(nsBullet);
  EXPECT_EQ(bullets(), std::string(1101, 'b'));
  EXPECT_LE(longestList(), 32);
  edit->Lines()->SaveToFile(dir / "again.rtf");
  for (auto& p : doc.Paragraphs) p.Format.Bullet = true;
  EXPECT_EQ(vx::ReadRtf(vx::test::ReadWholeFile(dir / "again.rtf")), doc);
}

TEST_F(RichEditTest, UndoClipboardLinesAndEvents) {
  int changes = 0, moves = 0;
  std::vector<AnsiString> dropped;
  edit->OnChange = [&](TObject*) { ++changes; };
  edit->OnSelectionChange = [&](TObject*) { ++moves; };
  edit->SetDocument(Doc("first\r\nsecond\r\nthird"));
  EXPECT_GT(changes, 0);
  edit->SetModified(false);
  EXPECT_FALSE(edit->CanUndo());

  // Positions count one character per paragraph break.
  struct {
    int position, line, lineStart;
  } lines[] = {{0, 0, 0}, {5, 0, 0}, {6, 1, 6}, {12, 1, 6}, {13, 2, 13}, {18, 2, 13}};
  for (const auto& l : lines) {
    EXPECT_EQ(edit->LineFromChar(l.position), l.line) << l.position;
    EXPECT_EQ(edit->LineIndex(l.line), l.lineStart);
  }
  EXPECT_EQ(edit->LineIndex(3), -1);

  moves = 0;
  edit->SetSelStart(6);
  edit->SetSelLength(6);
  EXPECT_GE(moves, 1);
  edit->CutToClipboard();
  EXPECT_TRUE(edit->Modified());
  EXPECT_EQ(Text(1), u"");
  EXPECT_TRUE(edit->CanUndo());
  EXPECT_TRUE(edit->CanPaste());
  edit->SetSelStart(0);
  edit->PasteFromClipboard();
  EXPECT_EQ(Text(0), u"secondfirst");
  edit->Undo();
  edit->Undo();
  EXPECT_EQ(Text(1), u"second");

  edit->OnDropFiles = [&](TObject*, const std::vector<AnsiString>& files) { dropped = files; };
  edit->DropFiles({"a.rtf"});
  EXPECT_TRUE(dropped.empty()) << "files are not taken unless accepted";
  edit->SetAcceptFiles(true);
  edit->DropFiles({"a.rtf", "b.txt"});
  EXPECT_EQ(dropped, (std::vector<AnsiString>{"a.rtf", "b.txt"}));

  edit->SetFormattingRect(Rect(6, 0, 394, 300));
  EXPECT_EQ(edit->FormattingRect(), Rect(6, 0, 394, 300));
}

}  // namespace
