// TRichEdit: a rich-text editor control over Qt's text editor, with the
// members of the class library's rich edit that a note pad uses.
//
// Files: Lines()->LoadFromFile reads RTF (our own reader, rtf_reader.h)
// when the file starts with "{\rtf" and PlainText is off, else the bytes as
// CP1251 text; Lines()->SaveToFile writes RTF (rtf_writer.h) or, with
// PlainText on, the paragraphs as CP1251 lines with CR LF. A file that
// cannot be read or written raises EFOpenError / EFCreateError and leaves
// the editor (or the old file) as it was.
//
// Attributes:
//   - SelAttributes: the selection's character format (of its first
//     character); with nothing selected, the format of what is typed next.
//   - DefAttributes: the format of what is typed next; on an empty
//     document also the document's default font.
//   - Paragraph: alignment, indents in points (FirstIndent: the first line
//     from the left edge; LeftIndent: the other lines relative to the first;
//     RightIndent from the right edge) and bullets, read from the paragraph
//     of the caret and applied to every paragraph the selection touches.
// Font names are kept as given ("Arial"); the editor shows them in the
// installed family that stands for them.
//
// Positions count characters, one for each paragraph break. LineFromChar
// and LineIndex count display lines (wrapped lines included). OnChange
// fires for every change of the text, also from code; OnSelectionChange
// when the caret or the selection moves. With AcceptFiles on, files
// dropped on the editor go to OnDropFiles instead of being inserted.
#pragma once

#include <memory>
#include <vector>

#include "platform/gui/core/controls.h"
#include "platform/gui/richtext/rich_text.h"
#include "platform/rtl/stringlist.h"

class TRichEdit;

namespace vx {
class RichTextWidget;
}

enum TNumberingStyle { nsNone, nsBullet };
enum TAttributeType { atSelected, atDefaultText };

class TTextAttributes {
 public:
  TTextAttributes(TRichEdit* edit, TAttributeType type) : edit_(edit), type_(type) {}
  AnsiString Name() const;
  void SetName(const AnsiString& v);
  int Size() const;
  void SetSize(int v);
  TFontStyles Style() const;
  void SetStyle(TFontStyles v);
  TColor Color() const;
  void SetColor(TColor v);
  // Takes name, size, style and colour of the font.
  void Assign(const TFont& font);
  // Writes name, size, style and colour into the font.
  void AssignTo(TFont& font) const;

 private:
  TRichEdit* edit_;
  TAttributeType type_;
};

class TParaAttributes {
 public:
  explicit TParaAttributes(TRichEdit* edit) : edit_(edit) {}
  TAlignment Alignment() const;
  void SetAlignment(TAlignment v);
  int FirstIndent() const;
  void SetFirstIndent(int v);
  int LeftIndent() const;
  void SetLeftIndent(int v);
  int RightIndent() const;
  void SetRightIndent(int v);
  TNumberingStyle Numbering() const;
  void SetNumbering(TNumberingStyle v);

 private:
  vx::RichParagraphFormat Get() const;
  TRichEdit* edit_;
};

// The editor's paragraphs as lines of CP1251 text.
class TRichEditStrings : public TStrings {
 public:
  explicit TRichEditStrings(TRichEdit* edit) : edit_(edit) {}
  int Count() const override;
  AnsiString Strings(int index) const override;
  void Insert(int index, const AnsiString& s) override;
  void Delete(int index) override;
  void Clear() override;
  void SetText(const AnsiString& text) override;
  // RTF or plain text, as the control's PlainText says (see above).
  void LoadFromFile(const AnsiString& fileName);
  void SaveToFile(const AnsiString& fileName) const;

 private:
  TRichEdit* edit_;
};

using TDropFilesEvent = std::function<void(TObject* Sender, const std::vector<AnsiString>& Files)>;

class TRichEdit : public TWinControl {
 public:
  explicit TRichEdit(TComponent* AOwner, TWinControl* AParent = nullptr);
  ~TRichEdit() override;

  TRichEditStrings* Lines() { return lines_.get(); }
  // The whole text in CP1251, paragraphs joined by CR LF.
  AnsiString Text() const;
  void SetText(const AnsiString& v);
  void Clear();

  // The content as a document, and replacing it (the undo history starts anew).
  vx::RichDocument Document() const;
  void SetDocument(const vx::RichDocument& doc);

  bool PlainText() const { return plainText_; }
  void SetPlainText(bool v) { plainText_ = v; }
  bool Modified() const;
  void SetModified(bool v);
  bool ReadOnly() const;
  void SetReadOnly(bool v);

  int SelStart() const;
  void SetSelStart(int v);
  int SelLength() const;
  void SetSelLength(int v);
  AnsiString SelText() const;
  void SelectAll();

  TTextAttributes* SelAttributes() { return &selAttributes_; }
  TTextAttributes* DefAttributes() { return &defAttributes_; }
  TParaAttributes* Paragraph() { return &paragraph_; }

  void Undo();
  bool CanUndo() const;
  bool CanPaste() const;
  void CutToClipboard();
  void CopyToClipboard();
  void PasteFromClipboard();

  // The display line of a character position, and the position of a
  // display line's first character (-1 past the last line).
  int LineFromChar(int position) const;
  int LineIndex(int line) const;
  // The area text is laid out in, in client coordinates.
  TRect FormattingRect() const { return formattingRect_; }
  void SetFormattingRect(const TRect& r);

  // Prints the document with `title` as the document name (PDF when no
  // printer is installed; see the function's comment in the source).
  void Print(const AnsiString& title);

  bool AcceptFiles() const { return acceptFiles_; }
  void SetAcceptFiles(bool v) { acceptFiles_ = v; }
  // What a drop of files does (the Qt widget calls it).
  void DropFiles(const std::vector<AnsiString>& files);

  TNotifyEvent OnChange;
  TNotifyEvent OnSelectionChange;
  TDropFilesEvent OnDropFiles;

 protected:
  TColor DefaultColor() const override { return clWindow; }

 private:
  friend class TTextAttributes;
  friend class TParaAttributes;
  friend class TRichEditStrings;
  friend class vx::RichTextWidget;
  void SelectionMoved();
  vx::RichTextWidget* edit_;
  std::unique_ptr<TRichEditStrings> lines_;
  TTextAttributes selAttributes_{this, atSelected};
  TTextAttributes defAttributes_{this, atDefaultText};
  TParaAttributes paragraph_{this};
  TRect formattingRect_;
  bool plainText_ = false, acceptFiles_ = false;
  int lastSelStart_ = -1, lastSelLength_ = -1;
};
