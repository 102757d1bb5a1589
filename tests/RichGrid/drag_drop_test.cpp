// The drag-and-drop layer apart from the grid, through data objects of the
// test's making: what the format reader finds, the effects and drops of
// the drop target, the drop source's answers, the data object's blocks
// and result codes, the format enumerator, and starting a drag.
#include <gtest/gtest.h>

#include <string>

#include "RichGrid/drag_drop.h"
#include "platform/gui/services/clipbrd.h"
#include "platform/gui/base/messages.h"
#include "platform/rtl/cp1251.h"
#include "platform/rtl/sysutils.h"
#include "tests/RichGrid/drag_test_support.h"

namespace {

using dragtest::Bytes;
using dragtest::FakeData;

// The formats get their numbers from the first reader.
void Register() {
  vx::ComPtr<FakeData> none(new FakeData);
  TEnumFormats f(none.get());
}

// A target that writes down what it is given.
class RecordingTarget : public TDropTarget {
 public:
  std::vector<std::string> heard;
  bool refuse = false;
  bool takeNothing = false;  // a drop that writes nothing

 protected:
  void DropText(TPoint, const AnsiString& text) override {
    heard.push_back("text " + text);
    if (takeNothing) DropNotTaken();
  }
  void DropColumn(TPoint, int column) override { heard.push_back("column " + std::to_string(column)); }
  void DropRichText(TPoint, const AnsiString& rich) override { heard.push_back("rich " + rich); }
  void DropFiles(TPoint, TStrings* files) override { heard.push_back("files " + std::to_string(files->Count())); }
  void DragMouseMove(TPoint, bool& allow, int formats) override {
    heard.push_back("move " + std::to_string(formats) + (allow ? " allowed" : " refused"));
    if (refuse) allow = false;
  }
  void DragMouseEnter() override { heard.push_back("enter"); }
  void DragMouseLeave() override { heard.push_back("leave"); }
};

std::string Block(CLIPFORMAT cf, IDataObject* data) {
  FORMATETC f{cf, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM m;
  if (data->GetData(&f, &m) != S_OK) return "<none>";
  const std::string bytes = Bytes(m.hGlobal);
  ReleaseStgMedium(&m);
  return bytes;
}

// A CF_HDROP list of the names, wide or not.
void AddFiles(FakeData& d, const std::vector<AnsiString>& names, bool wide) {
  HGLOBAL b = vx::MakeDropFiles(names, wide);
  d.Add(CF_HDROP, Bytes(b));
  GlobalFree(b);
}

struct RichTextSwitch {
  explicit RichTextSwitch(bool on) { SetRichTextDragDrop(on); }
  ~RichTextSwitch() { SetRichTextDragDrop(false); }
};

TEST(DragDropLayer, TheFormatReaderFindsTextRichTextColumnsAndFiles) {
  Register();
  ASSERT_NE(RichTextFormat(), 0);
  ASSERT_NE(GridColumnFormat(), 0);
  EXPECT_EQ(RichTextFormat(), RegisterClipboardFormat("Rich Text Format"));
  vx::ComPtr<FakeData> data(new FakeData);
  data->Add(CF_TEXT, dragtest::Text("a\tb"))
      .Add(RichTextFormat(), dragtest::Text("{\\rtf1 x}"))
      .Add(GridColumnFormat(), std::string("\x07\x01\x00\x00", 4));
  TEnumFormats f(data.get());
  EXPECT_TRUE(f.HasText());
  EXPECT_EQ(f.GetText(), "a\tb");
  EXPECT_FALSE(f.HasRichText());  // the switch is off
  EXPECT_TRUE(f.HasColumn());
  EXPECT_EQ(f.GetColumn(), 0x107);
  EXPECT_FALSE(f.HasFiles());
  EXPECT_FALSE(f.GetFiles());
  RichTextSwitch on(true);
  EXPECT_TRUE(f.HasRichText());
  EXPECT_EQ(f.GetRichText(), "{\\rtf1 x}");
  // A column block cut short is no column.
  vx::ComPtr<FakeData> shortColumn(new FakeData);
  shortColumn->Add(GridColumnFormat(), "\x01\x02");
  EXPECT_EQ(TEnumFormats(shortColumn.get()).GetColumn(), -1);
  // Without formats the reader cannot work.
  vx::ComPtr<FakeData> none(new FakeData);
  none->noEnumerator = true;
  EXPECT_THROW(TEnumFormats{none.get()}, EAssertionFailed);
}

TEST(DragDropLayer, FileListsWideOrNotAndDamagedOnesReadOnlyWholeNames) {
  const std::vector<AnsiString> names{"/tmp/a.csv", "/tmp/Таблица.xls"_cp};
  for (bool wide : {true, false}) {
    HGLOBAL block = vx::MakeDropFiles(names, wide);
    const std::string bytes = Bytes(block);
    GlobalFree(block);
    vx::ComPtr<FakeData> data(new FakeData);
    data->Add(CF_HDROP, bytes);
    TEnumFormats f(data.get());
    ASSERT_TRUE(f.GetFiles()) << wide;
    ASSERT_EQ(f.Files()->Count(), 2);
    EXPECT_EQ(f.Files()->Strings(1), names[1]);
    // Cut anywhere, the block gives the names read whole and no more.
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
      vx::ComPtr<FakeData> damaged(new FakeData);
      damaged->Add(CF_HDROP, bytes.substr(0, cut));
      TEnumFormats d(damaged.get());
      d.GetFiles();
      ASSERT_LE(d.Files()->Count(), 2);
      for (int i = 0; i < d.Files()->Count(); ++i) EXPECT_EQ(d.Files()->Strings(i), names[static_cast<std::size_t>(i)]);
    }
  }
  // A header whose offset points past the block names nothing.
  std::string bad(20, '\0');
  bad[0] = '\xff';
  bad[1] = '\x7f';
  vx::ComPtr<FakeData> data(new FakeData);
  data->Add(CF_HDROP, bad);
  EXPECT_FALSE(TEnumFormats(data.get()).GetFiles());
}

// Ctrl gives copy, otherwise move; an unacceptable drag gives none.
TEST(DragDropLayer, TheTargetsEffectsAndDrops) {
  Register();
  struct Case {
    const char* what;
    std::function<void(FakeData&)> fill;
    std::function<void(RecordingTarget&)> set;
    DWORD keys;
    DWORD effect;
    std::vector<std::string> heard;
  } cases[] = {
      {"text, moved",
       [](FakeData& d) { d.Add(CF_TEXT, dragtest::Text("x")); },
       nullptr,
       MK_LBUTTON,
       DROPEFFECT_MOVE,
       {"enter", "move 1 allowed", "text x"}},
      {"text, Ctrl held",
       [](FakeData& d) { d.Add(CF_TEXT, dragtest::Text("x")); },
       nullptr,
       MK_LBUTTON | MK_CONTROL,
       DROPEFFECT_COPY,
       {"enter", "move 1 allowed", "text x"}},
      {"text not taken",
       [](FakeData& d) { d.Add(CF_TEXT, dragtest::Text("x")); },
       [](RecordingTarget& t) { t.SetAcceptText(false); },
       MK_LBUTTON,
       DROPEFFECT_NONE,
       {"enter", "move 1 refused"}},
      {"a column and its text",
       [](FakeData& d) { d.Add(CF_TEXT, dragtest::Text("x")).Add(GridColumnFormat(), std::string("\x03\0\0\0", 4)); },
       [](RecordingTarget& t) { t.SetAcceptColumns(true); },
       0,
       DROPEFFECT_MOVE,
       {"enter", "move 5 allowed", "column 3"}},
      {"columns not taken",
       [](FakeData& d) { d.Add(GridColumnFormat(), std::string("\x03\0\0\0", 4)); },
       nullptr,
       0,
       DROPEFFECT_NONE,
       {"enter", "move 4 refused"}},
      // Files are copied, with Ctrl or without: a move used to let the
      // program they came from delete them.
      {"files besides text",
       [](FakeData& d) {
         d.Add(CF_TEXT, dragtest::Text("x"));
         AddFiles(d, {"/tmp/x"}, true);
       },
       nullptr,
       0,
       DROPEFFECT_COPY,
       {"enter", "move 3 allowed", "text x", "files 1"}},
      {"files alone",
       [](FakeData& d) {
         AddFiles(d, {"/tmp/x", "/tmp/y"}, false);
       },
       nullptr,
       MK_LBUTTON,
       DROPEFFECT_COPY,
       {"enter", "move 2 allowed", "files 2"}},
      {"files with Ctrl",
       [](FakeData& d) { AddFiles(d, {"/tmp/x"}, true); },
       nullptr,
       MK_CONTROL,
       DROPEFFECT_COPY,
       {"enter", "move 2 allowed", "files 1"}},
      {"refused where it is",
       [](FakeData& d) { d.Add(CF_TEXT, dragtest::Text("x")); },
       [](RecordingTarget& t) { t.refuse = true; },
       0,
       DROPEFFECT_MOVE,
       {"enter", "move 1 allowed", "text x"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    vx::ComPtr<FakeData> data(new FakeData);
    c.fill(*data);
    vx::ComPtr<RecordingTarget> target(new RecordingTarget);
    if (c.set) c.set(*target);
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragEnter(data.get(), c.keys, POINTL{5, 5}, &effect), S_OK);
    EXPECT_EQ(effect, c.effect);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    target->DragOver(c.keys, POINTL{6, 6}, &effect);
    EXPECT_EQ(effect, target->refuse ? DROPEFFECT_NONE : c.effect);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    target->Drop(data.get(), c.keys, POINTL{6, 6}, &effect);
    EXPECT_EQ(effect, c.effect);
    EXPECT_EQ(target->heard, c.heard);
  }
  // A drop that the window takes nothing of used to answer move, and the
  // source emptied its cells: it answers no effect.
  for (DWORD keys : {DWORD{0}, DWORD{MK_CONTROL}}) {
    vx::ComPtr<FakeData> data(new FakeData);
    data->Add(CF_TEXT, dragtest::Text("x"));
    vx::ComPtr<RecordingTarget> target(new RecordingTarget);
    target->takeNothing = true;
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    target->DragEnter(data.get(), keys, POINTL{}, &effect);
    target->Drop(data.get(), keys, POINTL{}, &effect);
    EXPECT_EQ(effect, DROPEFFECT_NONE) << keys;
    // The next drop starts afresh.
    target->takeNothing = false;
    target->Drop(data.get(), keys, POINTL{}, &effect);
    EXPECT_EQ(effect, keys ? DROPEFFECT_COPY : DROPEFFECT_MOVE) << keys;
  }
  // Rich text only with the switch on, and then before the text.
  for (bool on : {false, true}) {
    RichTextSwitch rich(on);
    vx::ComPtr<FakeData> data(new FakeData);
    data->Add(CF_TEXT, dragtest::Text("x")).Add(RichTextFormat(), dragtest::Text("{\\rtf1 y}"));
    vx::ComPtr<RecordingTarget> target(new RecordingTarget);
    DWORD effect = DROPEFFECT_MOVE;
    target->DragEnter(data.get(), 0, POINTL{}, &effect);
    target->Drop(data.get(), 0, POINTL{}, &effect);
    EXPECT_EQ(target->heard.back(), on ? "rich {\\rtf1 y}" : "text x");
  }
}

TEST(DragDropLayer, TheSourceAnswersTheDragAndRemembersTheLastFeedback) {
  class Source : public TDropSource {
   public:
    int asked = 0;
    std::vector<DWORD> effects;

   protected:
    void QueryDrag() override { ++asked; }
    void CurrentEffect(DWORD e) override { effects.push_back(e); }
  };
  vx::ComPtr<Source> s(new Source);
  EXPECT_EQ(s->QueryContinueDrag(false, MK_LBUTTON), S_OK);
  EXPECT_EQ(s->QueryContinueDrag(true, MK_LBUTTON), DRAGDROP_S_CANCEL);
  EXPECT_EQ(s->QueryContinueDrag(false, 0), DRAGDROP_S_DROP);
  EXPECT_EQ(s->asked, 3);
  EXPECT_EQ(s->GiveFeedback(DROPEFFECT_MOVE), DRAGDROP_S_USEDEFAULTCURSORS);
  EXPECT_FALSE(s->NoEffect());
  s->GiveFeedback(DROPEFFECT_NONE);
  EXPECT_TRUE(s->NoEffect());
  EXPECT_EQ(s->effects, (std::vector<DWORD>{DROPEFFECT_MOVE, DROPEFFECT_NONE}));
}

TEST(DragDropLayer, TheDataObjectsBlocksAndAnswers) {
  Register();
  vx::ComPtr<TSourceDataObject> text(new TSourceDataObject("Тираж 7"_cp, "{\\rtf1 z}", -1));
  EXPECT_EQ(Block(CF_TEXT, text.get()), AnsiString("Тираж 7"_cp) + '\0');
  const std::string wide = Block(CF_UNICODETEXT, text.get());
  ASSERT_EQ(wide.size(), 2 * 7 + 2u);
  EXPECT_EQ(wide.substr(0, 2), std::string("\x22\x04", 2));  // Т is U+0422, low byte first
  EXPECT_EQ(wide.substr(14), std::string("\0\0", 2));
  EXPECT_EQ(Block(RichTextFormat(), text.get()), "<none>");  // the switch is off
  EXPECT_EQ(Block(GridColumnFormat(), text.get()), "<none>");
  {
    RichTextSwitch on(true);
    EXPECT_EQ(Block(RichTextFormat(), text.get()), std::string("{\\rtf1 z}") + '\0');
  }
  vx::ComPtr<TSourceDataObject> column(new TSourceDataObject("", "", 258));
  EXPECT_EQ(Block(GridColumnFormat(), column.get()), std::string("\x02\x01\x00\x00", 4));
  EXPECT_EQ(Block(CF_TEXT, column.get()), "<none>");

  FORMATETC f{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  EXPECT_EQ(text->QueryGetData(&f), S_OK);
  f.dwAspect = 4;  // a thumbnail
  EXPECT_EQ(text->QueryGetData(&f), DV_E_FORMATETC);
  f = FORMATETC{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, 4};  // a stream
  EXPECT_EQ(text->QueryGetData(&f), DV_E_FORMATETC);
  f = FORMATETC{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  EXPECT_EQ(text->QueryGetData(&f), DV_E_FORMATETC);
  STGMEDIUM m;
  EXPECT_EQ(text->GetDataHere(&f, &m), DV_E_FORMATETC);
  EXPECT_EQ(text->SetData(&f, &m, false), DV_E_FORMATETC);
  FORMATETC out;
  EXPECT_EQ(text->GetCanonicalFormatEtc(&f, &out), E_NOTIMPL);
  EXPECT_EQ(out.ptd, nullptr);
  IEnumFORMATETC* e = nullptr;
  EXPECT_EQ(text->EnumFormatEtc(DATADIR_SET, &e), E_NOTIMPL);
  DWORD connection = 0;
  EXPECT_EQ(text->DAdvise(&f, 0, nullptr, &connection), OLE_E_ADVISENOTSUPPORTED);
  EXPECT_EQ(text->DUnadvise(0), OLE_E_ADVISENOTSUPPORTED);
  IEnumSTATDATA* advise = reinterpret_cast<IEnumSTATDATA*>(&f);
  EXPECT_EQ(text->EnumDAdvise(&advise), OLE_E_ADVISENOTSUPPORTED);
  EXPECT_EQ(advise, nullptr);
  // Memory running out answers the format as unavailable.
  const std::size_t limit = vx::SetGlobalAllocLimit(4);
  f = FORMATETC{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  EXPECT_EQ(text->GetData(&f, &m), DV_E_FORMATETC);
  vx::SetGlobalAllocLimit(limit);
}

TEST(DragDropLayer, TheFormatEnumeratorsNextSkipResetAndClone) {
  Register();
  for (bool withColumn : {false, true}) {
    SCOPED_TRACE(withColumn ? "with a column" : "text");
    vx::ComPtr<TSourceDataObject> data(new TSourceDataObject("x", "", withColumn ? 2 : -1));
    IEnumFORMATETC* raw = nullptr;
    ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, &raw), S_OK);
    auto e = vx::ComPtr<IEnumFORMATETC>::Adopt(raw);
    const ULONG count = withColumn ? 4 : 3;
    FORMATETC f[6];
    ULONG fetched = 99;
    EXPECT_EQ(e->Next(6, f, &fetched), S_FALSE);
    EXPECT_EQ(fetched, count);
    EXPECT_EQ(f[0].cfFormat, CF_TEXT);
    EXPECT_EQ(f[1].cfFormat, CF_UNICODETEXT);
    EXPECT_EQ(f[2].cfFormat, RichTextFormat());
    if (withColumn) EXPECT_EQ(f[3].cfFormat, GridColumnFormat());
    EXPECT_EQ(f[0].ptd, nullptr);
    EXPECT_EQ(f[0].dwAspect, DVASPECT_CONTENT);
    EXPECT_EQ(f[0].lindex, -1);
    EXPECT_EQ(f[0].tymed, TYMED_HGLOBAL);
    EXPECT_EQ(e->Next(1, f, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(e->Reset(), S_OK);
    EXPECT_EQ(e->Next(2, f, &fetched), S_OK);
    EXPECT_EQ(fetched, 2u);
    EXPECT_EQ(e->Skip(count - 2), S_OK);  // exactly to the end
    EXPECT_EQ(e->Next(1, f, nullptr), S_FALSE);
    e->Reset();
    EXPECT_EQ(e->Skip(count + 5), S_FALSE);  // past the end: clamped
    EXPECT_EQ(e->Next(1, f, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    // A clone starts at the beginning.
    IEnumFORMATETC* cloned = nullptr;
    ASSERT_EQ(e->Clone(&cloned), S_OK);
    auto c = vx::ComPtr<IEnumFORMATETC>::Adopt(cloned);
    EXPECT_EQ(c->Next(1, f, &fetched), S_OK);
    EXPECT_EQ(f[0].cfFormat, CF_TEXT);
    EXPECT_EQ(e->Clone(nullptr), E_POINTER);
  }
}

// A drag ends as its source's feedback says: without an effect it was
// cancelled whatever the loop answered.
TEST(DragDropLayer, StartingADragReportsCancelWhenTheLastFeedbackHadNoEffect) {
  struct Case {
    std::vector<DWORD> feedback;
    HRESULT loop;
    DWORD effect;
    HRESULT result;
  } cases[] = {{{DROPEFFECT_MOVE}, DRAGDROP_S_DROP, DROPEFFECT_MOVE, DRAGDROP_S_DROP},
               {{DROPEFFECT_COPY, DROPEFFECT_NONE}, DRAGDROP_S_DROP, DROPEFFECT_NONE, DRAGDROP_S_CANCEL},
               {{DROPEFFECT_NONE, DROPEFFECT_COPY}, DRAGDROP_S_DROP, DROPEFFECT_COPY, DRAGDROP_S_DROP},
               {{}, DRAGDROP_S_CANCEL, DROPEFFECT_NONE, DRAGDROP_S_CANCEL}};
  for (const Case& c : cases) {
    std::string offered;
    const vx::DragLoop before = vx::SetDragLoop([&](IDataObject* data, IDropSource* source, DWORD ok, DWORD* effect) {
      EXPECT_EQ(ok, DROPEFFECT_COPY | DROPEFFECT_MOVE);
      TEnumFormats f(data);
      offered = f.HasColumn() ? "column " + std::to_string(f.GetColumn()) : "text " + f.GetText();
      for (DWORD e : c.feedback) source->GiveFeedback(e);
      *effect = c.effect;
      return c.loop;
    });
    vx::ComPtr<TDropSource> source(new TDropSource);
    DWORD effect = 99;
    EXPECT_EQ(StartTextDragDrop(source.get(), "a", "", DROPEFFECT_COPY | DROPEFFECT_MOVE, effect), c.result);
    EXPECT_EQ(effect, c.effect);
    EXPECT_EQ(offered, "text a");
    vx::ComPtr<TDropSource> columnSource(new TDropSource);
    EXPECT_EQ(StartColumnDragDrop(columnSource.get(), 3, DROPEFFECT_COPY | DROPEFFECT_MOVE, effect), c.result);
    EXPECT_EQ(offered, "column 3");
    vx::SetDragLoop(before);
  }
}

}  // namespace
