#include "platform/gui/richtext/richedit.h"

#include <QAbstractTextDocumentLayout>
#include <QMimeData>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>
#include <QUrl>
#include <algorithm>

#include "platform/gui/core/application.h"
#include "platform/gui/base/qt_app.h"
#include "platform/gui/draw/qt_bridge.h"
#include "platform/gui/richtext/rtf_reader.h"
#include "platform/gui/richtext/rtf_writer.h"
#include "platform/os/program_folder.h"
#include "platform/rtl/codepages.h"
#include "platform/rtl/filebytes.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/sysutils.h"

namespace vx {

namespace {

// The font name a format was given (the widget shows the installed
// family that stands for it).
constexpr int kGivenFontName = QTextFormat::UserProperty + 1;
constexpr double kPixelsPerPoint = 4.0 / 3.0;

QString U16(const std::u16string& s) { return QString::fromStdU16String(s); }

QTextCharFormat ToQCharFormat(const RichCharFormat& f) {
  QTextCharFormat q;
  q.setFontFamilies(QStringList{ToQString(MapFontName(f.Name))});
  q.setProperty(kGivenFontName, ToQString(f.Name));
  q.setFontPointSize(std::max(1, f.Size));
  q.setFontWeight(f.Style.Contains(fsBold) ? QFont::Bold : QFont::Normal);
  q.setFontItalic(f.Style.Contains(fsItalic));
  q.setFontUnderline(f.Style.Contains(fsUnderline));
  q.setFontStrikeOut(f.Style.Contains(fsStrikeOut));
  return q;
}

RichCharFormat FromQCharFormat(const QTextCharFormat& q, const QFont& base) {
  const QFont font = q.font().resolve(base);
  RichCharFormat f;
  const AnsiString family = FromQString(font.families().value(0, font.family()));
  const AnsiString given = FromQString(q.property(kGivenFontName).toString());
  f.Name = !given.empty() && MapFontName(given) == family ? given : family;
  f.Size = std::max(1, qRound(font.pointSizeF() > 0 ? font.pointSizeF() : 10.0));
  if (font.weight() >= QFont::DemiBold) f.Style.Include(fsBold);
  if (font.italic()) f.Style.Include(fsItalic);
  if (font.underline()) f.Style.Include(fsUnderline);
  if (font.strikeOut()) f.Style.Include(fsStrikeOut);
  return f;
}

QTextBlockFormat ToQBlockFormat(const RichParagraphFormat& p) {
  QTextBlockFormat b;
  b.setAlignment(p.Alignment == RichAlignment::Center  ? Qt::AlignHCenter
                 : p.Alignment == RichAlignment::Right ? Qt::AlignRight
                                                       : Qt::AlignLeft);
  b.setLeftMargin((p.FirstIndent + p.LeftIndent) * kPixelsPerPoint);
  b.setTextIndent(-p.LeftIndent * kPixelsPerPoint);
  b.setRightMargin(p.RightIndent * kPixelsPerPoint);
  return b;
}

RichParagraphFormat FromQBlock(const QTextBlock& block) {
  const QTextBlockFormat b = block.blockFormat();
  RichParagraphFormat p;
  const Qt::Alignment a = b.alignment() & Qt::AlignHorizontal_Mask;
  p.Alignment = (a & Qt::AlignHCenter) ? RichAlignment::Center
                : (a & Qt::AlignRight) ? RichAlignment::Right
                                       : RichAlignment::Left;
  p.FirstIndent = qRound((b.leftMargin() + b.textIndent()) / kPixelsPerPoint);
  p.LeftIndent = qRound(-b.textIndent() / kPixelsPerPoint);
  p.RightIndent = qRound(b.rightMargin() / kPixelsPerPoint);
  p.Bullet = block.textList() != nullptr;
  return p;
}

bool HasLocalFiles(const QMimeData* mime) {
  if (!mime || !mime->hasUrls()) return false;
  for (const QUrl& url : mime->urls())
    if (url.isLocalFile()) return true;
  return false;
}

// Bullet paragraphs go into lists of at most this many paragraphs. Qt marks
// every paragraph of a list for layout again whenever one joins or leaves
// it, so a single list per run of bullets makes loading a document and
// numbering a selection quadratic in the run's length (32,000 bullets took
// half a minute); short lists keep both linear and look the same.
constexpr int kParagraphsPerList = 32;

// Puts the cursor's paragraph into `list` (the list of the paragraph before
// it) or, when there is none or it is full, into a new one; returns the
// paragraph's list.
QTextList* JoinBulletList(QTextCursor& cursor, QTextList* list) {
  if (list && list->count() < kParagraphsPerList) {
    list->add(cursor.block());
    return list;
  }
  return cursor.createList(QTextListFormat::ListDisc);
}

int LinesOf(QTextDocument* doc, const QTextBlock& block) {
  doc->documentLayout()->blockBoundingRect(block);  // lays the block out
  return std::max(1, block.layout() ? block.layout()->lineCount() : 1);
}

}  // namespace

class RichTextWidget : public QTextEdit {
 public:
  explicit RichTextWidget(TRichEdit* owner) : owner_(owner) {}
  // The default character format (DefAttributes set on an empty document):
  // what plain text and a cleared document start from.
  QTextCharFormat defaultFormat;
  void SetMargins(int left, int top, int right, int bottom) { setViewportMargins(left, top, right, bottom); }

 protected:
  void dragEnterEvent(QDragEnterEvent* e) override {
    if (owner_->AcceptFiles() && HasLocalFiles(e->mimeData())) e->acceptProposedAction();
    else QTextEdit::dragEnterEvent(e);
  }
  void dragMoveEvent(QDragMoveEvent* e) override {
    if (owner_->AcceptFiles() && HasLocalFiles(e->mimeData())) e->acceptProposedAction();
    else QTextEdit::dragMoveEvent(e);
  }
  void dropEvent(QDropEvent* e) override {
    if (!owner_->AcceptFiles() || !HasLocalFiles(e->mimeData())) {
      QTextEdit::dropEvent(e);
      return;
    }
    std::vector<AnsiString> files;
    for (const QUrl& url : e->mimeData()->urls())
      if (url.isLocalFile()) files.push_back(AnsiFileName(url.toLocalFile().toStdString()));
    e->acceptProposedAction();
    Guard([&] { owner_->DropFiles(files); });
  }

 private:
  TRichEdit* owner_;
};

}  // namespace vx

// --- TRichEdit ------------------------------------------------------------------

TRichEdit::TRichEdit(TComponent* AOwner, TWinControl* AParent)
    : TWinControl(AOwner), lines_(std::make_unique<TRichEditStrings>(this)) {
  edit_ = new vx::RichTextWidget(this);
  edit_->setAcceptRichText(true);
  QObject::connect(edit_, &QTextEdit::textChanged, [this] {
    vx::Guard([&] {
      if (OnChange) OnChange(this);
    });
  });
  QObject::connect(edit_, &QTextEdit::cursorPositionChanged, [this] { SelectionMoved(); });
  QObject::connect(edit_, &QTextEdit::selectionChanged, [this] { SelectionMoved(); });
  width_ = 185;
  height_ = 89;
  tabStop_ = true;
  SetWidget(edit_);
  if (AParent) SetParent(AParent);
}

TRichEdit::~TRichEdit() { QObject::disconnect(edit_, nullptr, nullptr, nullptr); }

void TRichEdit::SelectionMoved() {
  const int start = SelStart(), length = SelLength();
  if (start == lastSelStart_ && length == lastSelLength_) return;
  lastSelStart_ = start;
  lastSelLength_ = length;
  vx::Guard([&] {
    if (OnSelectionChange) OnSelectionChange(this);
  });
}

AnsiString TRichEdit::Text() const {
  AnsiString text = Document().PlainText();
  if (text.size() >= 2) text.resize(text.size() - 2);  // no line break after the last line
  return text;
}

void TRichEdit::SetText(const AnsiString& v) { lines_->SetText(v); }

void TRichEdit::Clear() {
  edit_->clear();
  edit_->setCurrentCharFormat(edit_->defaultFormat);
}

vx::RichDocument TRichEdit::Document() const {
  vx::RichDocument doc;
  QTextDocument* d = edit_->document();
  const QFont base = d->defaultFont();
  for (QTextBlock b = d->begin(); b.isValid(); b = b.next()) {
    vx::RichParagraph p;
    p.Format = vx::FromQBlock(b);
    for (QTextBlock::iterator it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment f = it.fragment();
      if (!f.isValid()) continue;
      std::u16string text = f.text().toStdU16String();
      std::erase(text, u'\uFFFC');  // embedded objects are not kept
      p.Append(text, vx::FromQCharFormat(f.charFormat(), base));
    }
    doc.Paragraphs.push_back(std::move(p));
  }
  return doc;
}

void TRichEdit::SetDocument(const vx::RichDocument& doc) {
  QTextDocument* d = edit_->document();
  d->clear();
  QTextCursor c(d);
  c.beginEditBlock();
  QTextList* list = nullptr;
  bool first = true;
  for (const vx::RichParagraph& p : doc.Paragraphs) {
    const QTextCharFormat start = p.Runs.empty() ? edit_->defaultFormat : vx::ToQCharFormat(p.Runs[0].Format);
    if (first) c.setBlockFormat(vx::ToQBlockFormat(p.Format));
    else c.insertBlock(vx::ToQBlockFormat(p.Format), start);
    c.setBlockCharFormat(start);
    first = false;
    list = p.Format.Bullet ? vx::JoinBulletList(c, list) : nullptr;
    for (const vx::RichRun& r : p.Runs) c.insertText(vx::U16(r.Text), vx::ToQCharFormat(r.Format));
  }
  c.endEditBlock();
  d->clearUndoRedoStacks();
  edit_->moveCursor(QTextCursor::Start);
}

bool TRichEdit::Modified() const { return edit_->document()->isModified(); }
void TRichEdit::SetModified(bool v) { edit_->document()->setModified(v); }
bool TRichEdit::ReadOnly() const { return edit_->isReadOnly(); }
void TRichEdit::SetReadOnly(bool v) { edit_->setReadOnly(v); }

int TRichEdit::SelStart() const { return edit_->textCursor().selectionStart(); }

void TRichEdit::SetSelStart(int v) {
  QTextCursor c = edit_->textCursor();
  c.setPosition(std::clamp(v, 0, edit_->document()->characterCount() - 1));
  edit_->setTextCursor(c);
}

int TRichEdit::SelLength() const {
  const QTextCursor c = edit_->textCursor();
  return c.selectionEnd() - c.selectionStart();
}

void TRichEdit::SetSelLength(int v) {
  QTextCursor c = edit_->textCursor();
  const int start = c.selectionStart();
  c.setPosition(start);
  c.setPosition(std::clamp(start + v, 0, edit_->document()->characterCount() - 1), QTextCursor::KeepAnchor);
  edit_->setTextCursor(c);
}

AnsiString TRichEdit::SelText() const {
  QString text = edit_->textCursor().selectedText();
  text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
  return vx::FromQString(text);
}

void TRichEdit::SelectAll() { edit_->selectAll(); }

void TRichEdit::Undo() { edit_->undo(); }
bool TRichEdit::CanUndo() const { return edit_->document()->isUndoAvailable(); }
bool TRichEdit::CanPaste() const { return edit_->canPaste(); }
void TRichEdit::CutToClipboard() { edit_->cut(); }
void TRichEdit::CopyToClipboard() { edit_->copy(); }
void TRichEdit::PasteFromClipboard() { edit_->paste(); }

int TRichEdit::LineFromChar(int position) const {
  QTextDocument* d = edit_->document();
  QTextBlock target = d->findBlock(std::max(0, position));
  if (!target.isValid()) target = d->lastBlock();
  int line = 0;
  for (QTextBlock b = d->begin(); b.isValid() && b != target; b = b.next()) line += vx::LinesOf(d, b);
  vx::LinesOf(d, target);
  if (QTextLayout* layout = target.layout()) {
    const QTextLine l = layout->lineForTextPosition(std::clamp(position - target.position(), 0, target.length() - 1));
    if (l.isValid()) line += l.lineNumber();
  }
  return line;
}

int TRichEdit::LineIndex(int line) const {
  QTextDocument* d = edit_->document();
  for (QTextBlock b = d->begin(); b.isValid(); b = b.next()) {
    const int lines = vx::LinesOf(d, b);
    if (line < lines) {
      QTextLayout* layout = b.layout();
      const int start = layout && layout->lineCount() > line ? layout->lineAt(line).textStart() : 0;
      return b.position() + start;
    }
    line -= lines;
  }
  return -1;
}

void TRichEdit::SetFormattingRect(const TRect& r) {
  formattingRect_ = r;
  edit_->SetMargins(std::max(0, r.Left), std::max(0, r.Top), std::max(0, ClientWidth() - r.Right),
                    std::max(0, ClientHeight() - r.Bottom));
}

// With no printer installed the document goes to a PDF file named after
// the title in the program's folder, so printing still gives a document.
void TRichEdit::Print(const AnsiString& title) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(vx::ToQString(title));
  if (QPrinterInfo::availablePrinterNames().isEmpty()) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    const AnsiString pdf = vx::ProgramFolder() + ChangeFileExt(ExtractFileName(title), ".pdf");
    printer.setOutputFileName(QString::fromStdString(vx::NativeFileName(pdf)));
  }
  edit_->document()->print(&printer);
}

void TRichEdit::DropFiles(const std::vector<AnsiString>& files) {
  if (acceptFiles_ && !files.empty() && OnDropFiles) OnDropFiles(this, files);
}

// --- attributes ------------------------------------------------------------------

namespace {

QTextCharFormat CharFormatOf(QTextEdit* widget, TAttributeType type) {
  const QTextCursor cursor = widget->textCursor();
  if (type == atSelected && cursor.hasSelection()) {
    QTextCursor first(widget->document());
    first.setPosition(cursor.selectionStart() + 1);
    return first.charFormat();
  }
  return widget->currentCharFormat();
}

}  // namespace

AnsiString TTextAttributes::Name() const {
  return vx::FromQCharFormat(CharFormatOf(edit_->edit_, type_), edit_->edit_->document()->defaultFont()).Name;
}

int TTextAttributes::Size() const {
  return vx::FromQCharFormat(CharFormatOf(edit_->edit_, type_), edit_->edit_->document()->defaultFont()).Size;
}

TFontStyles TTextAttributes::Style() const {
  return vx::FromQCharFormat(CharFormatOf(edit_->edit_, type_), edit_->edit_->document()->defaultFont()).Style;
}

TColor TTextAttributes::Color() const {
  const QTextCharFormat f = CharFormatOf(edit_->edit_, type_);
  return f.hasProperty(QTextFormat::ForegroundBrush) ? vx::FromQColor(f.foreground().color()) : clWindowText;
}

namespace {

void Apply(vx::RichTextWidget* widget, TAttributeType type, const QTextCharFormat& change) {
  widget->mergeCurrentCharFormat(change);
  if (type == atDefaultText && widget->document()->isEmpty()) {
    widget->defaultFormat.merge(change);
    widget->document()->setDefaultFont(widget->currentCharFormat().font().resolve(widget->document()->defaultFont()));
  }
}

}  // namespace

void TTextAttributes::SetName(const AnsiString& v) {
  QTextCharFormat f;
  f.setFontFamilies(QStringList{vx::ToQString(vx::MapFontName(v))});
  f.setProperty(vx::kGivenFontName, vx::ToQString(v));
  Apply(edit_->edit_, type_, f);
}

void TTextAttributes::SetSize(int v) {
  if (v <= 0) return;
  QTextCharFormat f;
  f.setFontPointSize(v);
  Apply(edit_->edit_, type_, f);
}

void TTextAttributes::SetStyle(TFontStyles v) {
  QTextCharFormat f;
  f.setFontWeight(v.Contains(fsBold) ? QFont::Bold : QFont::Normal);
  f.setFontItalic(v.Contains(fsItalic));
  f.setFontUnderline(v.Contains(fsUnderline));
  f.setFontStrikeOut(v.Contains(fsStrikeOut));
  Apply(edit_->edit_, type_, f);
}

void TTextAttributes::SetColor(TColor v) {
  QTextCharFormat f;
  f.setForeground(vx::ToQColor(v));
  Apply(edit_->edit_, type_, f);
}

void TTextAttributes::Assign(const TFont& font) {
  QTextCharFormat f = vx::ToQCharFormat(vx::RichCharFormat{font.Name(), font.Size(), font.Style()});
  f.setForeground(vx::ToQColor(font.Color()));
  Apply(edit_->edit_, type_, f);
}

void TTextAttributes::AssignTo(TFont& font) const {
  font.SetName(Name());
  font.SetSize(Size());
  font.SetStyle(Style());
  font.SetColor(Color());
}

// --- paragraph attributes ------------------------------------------------------------

vx::RichParagraphFormat TParaAttributes::Get() const { return vx::FromQBlock(edit_->edit_->textCursor().block()); }

TAlignment TParaAttributes::Alignment() const {
  switch (Get().Alignment) {
    case vx::RichAlignment::Right: return taRightJustify;
    case vx::RichAlignment::Center: return taCenter;
    default: return taLeftJustify;
  }
}
int TParaAttributes::FirstIndent() const { return Get().FirstIndent; }
int TParaAttributes::LeftIndent() const { return Get().LeftIndent; }
int TParaAttributes::RightIndent() const { return Get().RightIndent; }
TNumberingStyle TParaAttributes::Numbering() const { return Get().Bullet ? nsBullet : nsNone; }

namespace {

// Runs change on the format of every paragraph the selection touches.
template <typename Change>
void EachParagraph(QTextEdit* widget, Change change) {
  QTextDocument* d = widget->document();
  const QTextCursor cursor = widget->textCursor();
  QTextBlock b = d->findBlock(cursor.selectionStart());
  const QTextBlock last = d->findBlock(cursor.selectionEnd());
  QTextCursor edit(d);
  edit.beginEditBlock();
  for (; b.isValid(); b = b.next()) {
    change(b, edit);
    if (b == last) break;
  }
  edit.endEditBlock();
}

template <typename Set>
void SetIndents(QTextEdit* widget, Set set) {
  EachParagraph(widget, [&](const QTextBlock& b, QTextCursor& edit) {
    vx::RichParagraphFormat p = vx::FromQBlock(b);
    set(p);
    const QTextBlockFormat q = vx::ToQBlockFormat(p);
    QTextBlockFormat change;
    change.setLeftMargin(q.leftMargin());
    change.setTextIndent(q.textIndent());
    change.setRightMargin(q.rightMargin());
    edit.setPosition(b.position());
    edit.mergeBlockFormat(change);
  });
}

}  // namespace

void TParaAttributes::SetAlignment(TAlignment v) {
  QTextBlockFormat change;
  change.setAlignment(v == taCenter ? Qt::AlignHCenter : v == taRightJustify ? Qt::AlignRight : Qt::AlignLeft);
  EachParagraph(edit_->edit_, [&](const QTextBlock& b, QTextCursor& edit) {
    edit.setPosition(b.position());
    edit.mergeBlockFormat(change);
  });
}

void TParaAttributes::SetFirstIndent(int v) {
  SetIndents(edit_->edit_, [v](vx::RichParagraphFormat& p) { p.FirstIndent = v; });
}
void TParaAttributes::SetLeftIndent(int v) {
  SetIndents(edit_->edit_, [v](vx::RichParagraphFormat& p) { p.LeftIndent = v; });
}
void TParaAttributes::SetRightIndent(int v) {
  SetIndents(edit_->edit_, [v](vx::RichParagraphFormat& p) { p.RightIndent = v; });
}

void TParaAttributes::SetNumbering(TNumberingStyle v) {
  EachParagraph(edit_->edit_, [&](const QTextBlock& b, QTextCursor& edit) {
    QTextList* list = b.textList();
    if (v == nsNone) {
      if (!list) return;
      list->remove(b);
      QTextBlockFormat plain;
      plain.setIndent(0);
      edit.setPosition(b.position());
      edit.mergeBlockFormat(plain);
      return;
    }
    if (list) return;
    edit.setPosition(b.position());
    vx::JoinBulletList(edit, b.previous().isValid() ? b.previous().textList() : nullptr);
  });
}

// --- lines ------------------------------------------------------------------------

int TRichEditStrings::Count() const { return edit_->edit_->document()->blockCount(); }

AnsiString TRichEditStrings::Strings(int index) const {
  const QTextBlock b = edit_->edit_->document()->findBlockByNumber(index);
  if (!b.isValid()) throw EStringListError("List index out of bounds (" + IntToStr(index) + ")");
  return vx::FromQString(b.text());
}

void TRichEditStrings::Insert(int index, const AnsiString& s) {
  QTextDocument* d = edit_->edit_->document();
  if (index < 0 || index > Count()) throw EStringListError("List index out of bounds (" + IntToStr(index) + ")");
  QTextCursor c(d);
  if (index < Count()) {
    c.setPosition(d->findBlockByNumber(index).position());
    c.insertText(vx::ToQString(s));
    c.insertBlock();
  } else {
    c.movePosition(QTextCursor::End);
    if (!d->isEmpty()) c.insertBlock();
    c.insertText(vx::ToQString(s));
  }
}

void TRichEditStrings::Delete(int index) {
  QTextDocument* d = edit_->edit_->document();
  const QTextBlock b = d->findBlockByNumber(index);
  if (!b.isValid()) throw EStringListError("List index out of bounds (" + IntToStr(index) + ")");
  // The paragraph with one of the breaks beside it (the last one has none after it).
  QTextCursor c(d);
  const int end = b.position() + b.length() - 1;
  if (b.next().isValid()) {
    c.setPosition(b.position());
    c.setPosition(end + 1, QTextCursor::KeepAnchor);
  } else {
    c.setPosition(b.previous().isValid() ? b.position() - 1 : b.position());
    c.setPosition(end, QTextCursor::KeepAnchor);
  }
  c.removeSelectedText();
}

void TRichEditStrings::Clear() { edit_->Clear(); }

void TRichEditStrings::SetText(const AnsiString& text) {
  vx::RichCharFormat format = vx::FromQCharFormat(edit_->edit_->defaultFormat, edit_->edit_->document()->defaultFont());
  edit_->SetDocument(vx::RichDocument::FromPlainText(text, format));
}

void TRichEditStrings::LoadFromFile(const AnsiString& fileName) {
  AnsiString bytes;
  if (!vx::ReadFileBytes(fileName, bytes)) throw EFOpenError("Cannot open file \"" + fileName + "\"");
  if (!edit_->PlainText() && vx::LooksLikeRtf(bytes)) edit_->SetDocument(vx::ReadRtf(bytes));
  else SetText(bytes);
}

void TRichEditStrings::SaveToFile(const AnsiString& fileName) const {
  const vx::RichDocument doc = edit_->Document();
  const std::string bytes = edit_->PlainText() ? doc.PlainText() : vx::WriteRtf(doc);
  if (!vx::WriteFileBytes(fileName, bytes)) throw EFCreateError("Cannot create file \"" + fileName + "\"");
}
