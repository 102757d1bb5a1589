// Drag and drop between windows and programs, apart from the grid:
// - TEnumFormats reads what a dragged data object holds: text, rich text,
//   a grid column, files;
// - TDropTarget answers a drag over a window and hands what is dropped to
//   its virtual operations; TDropSource answers for the window a drag
//   comes from;
// - TSourceDataObject offers a text with its rich text, or a grid column,
//   and TSourceEnumFormatEtc lists what it offers;
// - StartTextDragDrop and StartColumnDragDrop run a drag of them.
//
// The registered formats "Rich Text Format" and "Grid Column" (a 32-bit
// column index) get their numbers when the first TEnumFormats is made.
// Rich text counts only while the rich-text switch is on (the grid's
// OleDropRTF): off, it is neither offered nor taken.
//
// Objects are reference counted (drag_drop.h in platform/ole): a caller
// keeps one in a vx::ComPtr. Unavailable formats and failed allocations
// are answered with OLE's result codes; nothing here throws but the
// format reader over a data object without formats (EAssertionFailed).
#pragma once

#include <memory>

#include "platform/gui/base/gui_types.h"
#include "platform/ole/drag_drop.h"
#include "platform/rtl/stringlist.h"

// The formats of a drag, a bit each (TDropTarget's Formats).
constexpr int kDragText = 1, kDragFiles = 2, kDragColumn = 4, kDragRichText = 8;

// The registered formats' numbers (0 until a TEnumFormats was made).
CLIPFORMAT RichTextFormat();
CLIPFORMAT GridColumnFormat();
bool RichTextDragDrop();
void SetRichTextDragDrop(bool on);

class TEnumFormats {
 public:
  // Raises EAssertionFailed "Cannot get the format enumerator" when the
  // data object lists no formats.
  explicit TEnumFormats(IDataObject* dataObject);
  bool HasText();
  bool HasFiles();
  // Only while the rich-text switch is on.
  bool HasRichText();
  bool HasColumn();
  // CF_TEXT up to its first zero.
  AnsiString GetText();
  AnsiString GetRichText();
  // The first 32 bits of the column block, -1 when there is none.
  int GetColumn();
  // Reads the names of the CF_HDROP list into Files(); true when there is
  // at least one. A list cut short keeps the names read whole.
  bool GetFiles();
  TStringList* Files() const { return files_.get(); }

 private:
  bool Has(CLIPFORMAT format);
  // The format's block; false when the object does not give it.
  bool Block(CLIPFORMAT format, std::string& bytes);

  vx::ComPtr<IDataObject> dataObject_;
  vx::ComPtr<IEnumFORMATETC> enumerator_;
  FORMATETC format_;
  bool valid_ = false;
  int index_ = 0;
  std::unique_ptr<TStringList> files_;
};

class TDropTarget : public vx::ComObject<IDropTarget> {
 public:
  TDropTarget() = default;
  bool AcceptText() const { return acceptText_; }
  void SetAcceptText(bool v) { acceptText_ = v; }
  bool AcceptFiles() const { return acceptFiles_; }
  void SetAcceptFiles(bool v) { acceptFiles_ = v; }
  bool AcceptColumns() const { return acceptColumns_; }
  void SetAcceptColumns(bool v) { acceptColumns_ = v; }

  // Acceptable: text (with AcceptText), else files (AcceptFiles), else rich
  // text (with the switch and AcceptText), else a column (AcceptColumns).
  // The effect of an acceptable drag is copy with Ctrl held, else move; a
  // drag that carries files is always a copy (a move would let the program
  // the files come from delete them).
  HRESULT DragEnter(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) override;
  HRESULT DragOver(DWORD keyState, POINTL pt, DWORD* effect) override;
  HRESULT DragLeave() override;
  // An acceptable drag's column, else its rich text, else its text; and
  // its files besides. A drop that a handler marked as not taken has no
  // effect, so that the source keeps what it sent; one it marked as taken
  // in part is a copy, so that a moving source keeps what was not taken.
  HRESULT Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) override;

 protected:
  virtual void DropText(TPoint pt, const AnsiString& text) {}
  virtual void DropColumn(TPoint pt, int column) {}
  virtual void DropRichText(TPoint pt, const AnsiString& richText) {}
  virtual void DropFiles(TPoint pt, TStrings* files) {}
  // allow comes in true for an acceptable drag; false refuses it here.
  virtual void DragMouseMove(TPoint pt, bool& allow, int formats) {}
  virtual void DragMouseEnter() {}
  virtual void DragMouseLeave() {}
  // Called by a drop handler that took nothing of what was dropped.
  void DropNotTaken() { dropTaken_ = false; }
  // Called by a drop handler that took only some of what was dropped.
  void DropTakenInPart() { dropInPart_ = true; }

 private:
  DWORD EffectFor(DWORD keyState) const;
  bool accept_ = false, dropTaken_ = true, dropInPart_ = false;
  bool acceptText_ = true, acceptFiles_ = true, acceptColumns_ = false;
  int formats_ = 0;
};

class TDropSource : public vx::ComObject<IDropSource> {
 public:
  // Escape cancels, the left button up drops; QueryDrag each time.
  HRESULT QueryContinueDrag(bool escapePressed, DWORD keyState) override;
  HRESULT GiveFeedback(DWORD effect) override;
  // The last feedback offered no effect.
  bool NoEffect() const { return noEffect_; }

 protected:
  virtual void CurrentEffect(DWORD effect) {}
  virtual void QueryDrag() {}

 private:
  bool noEffect_ = false;
};

class TSourceDataObject : public vx::ComObject<IDataObject> {
 public:
  // A text drag (column -1) or a column drag (empty texts).
  TSourceDataObject(const AnsiString& text, const AnsiString& richText, int column);
  HRESULT GetData(const FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT GetDataHere(const FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT QueryGetData(const FORMATETC* format) override;
  HRESULT GetCanonicalFormatEtc(const FORMATETC* in, FORMATETC* out) override;
  HRESULT SetData(const FORMATETC* format, STGMEDIUM* medium, bool release) override;
  HRESULT EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator) override;
  HRESULT DAdvise(const FORMATETC* format, DWORD advf, IAdviseSink* sink, DWORD* connection) override;
  HRESULT DUnadvise(DWORD connection) override;
  HRESULT EnumDAdvise(IEnumSTATDATA** enumerator) override;

 private:
  AnsiString text_, richText_;
  int column_;
};

// CF_TEXT, CF_UNICODETEXT, "Rich Text Format", then "Grid Column" when
// withColumn; Clone starts a new one at the beginning.
class TSourceEnumFormatEtc : public vx::ComObject<IEnumFORMATETC> {
 public:
  explicit TSourceEnumFormatEtc(bool withColumn) : withColumn_(withColumn) {}
  HRESULT Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched) override;
  HRESULT Skip(ULONG celt) override;
  HRESULT Reset() override;
  HRESULT Clone(IEnumFORMATETC** ppenum) override;

 private:
  ULONG Count() const { return withColumn_ ? 4 : 3; }
  ULONG position_ = 0;
  bool withColumn_;
};

// Run a drag; DRAGDROP_S_CANCEL when the source's last feedback had no
// effect, else what the drag ended with (effect: the target's).
HRESULT StartTextDragDrop(TDropSource* source, const AnsiString& text, const AnsiString& richText, DWORD allowedEffects,
                          DWORD& effect);
HRESULT StartColumnDragDrop(TDropSource* source, int column, DWORD allowedEffects, DWORD& effect);
