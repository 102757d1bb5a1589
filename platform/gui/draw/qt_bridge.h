// The Qt boundary of the visual class library (used inside platform/gui and
// by the drag bridge of platform/ole only).
//
// Text crosses here from CP1251 to UTF-16 and back through the code page's
// own table; a character CP1251 cannot hold comes back as '?'. Colours,
// fonts, cursors, keys and modifiers are mapped here too, and
// QtPainterDevice draws a TCanvas with a QPainter.
#pragma once

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QRegion>
#include <QString>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/gui/draw/canvas.h"
#include "platform/gui/base/gui_types.h"

namespace vx {

QString ToQString(const AnsiString& text);
AnsiString FromQString(const QString& text);
// Text that comes in from other programs (the clipboard, a drop) with the
// line ends our texts have: LF and a lone CR between rows become CR LF,
// while the line breaks inside a quoted field of tab-separated text stay
// as they are (separated_rows.h).
QString WithCrLf(const QString& text);
// A caption for Qt: our '&' accelerators are Qt's too; nothing else changes.
inline QString ToQCaption(const AnsiString& text) { return ToQString(text); }
// A text shown literally in a menu or button ("&" doubled).
QString ToQLiteral(const AnsiString& text);

QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);
QFont ToQFont(const TFont& font);
void FromQFont(const QFont& qfont, TFont& font);

// The cursor of a number: the class library's shapes, or a program cursor
// set with SetProgramCursor (the arrow for an unknown number).
QCursor ToQtCursor(TCursor cursor);
void SetProgramCursor(TCursor index, const QImage& image, int hotX, int hotY);
bool HasProgramCursor(TCursor index);

Word VirtualKeyFromQt(int qtKey);
int QtKeyFromVirtualKey(Word key);
TShiftState ShiftFromQt(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = Qt::NoButton);
// The MK_ flags of a mouse message (messages.h) for keys and buttons held.
unsigned MouseKeysFromQt(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);

struct BitmapData {
  QImage image;
};

// Draws through a QPainter. Either an active painter is handed in (a widget
// being painted, a printer page) or a QImage, for which a painter is opened
// per call so the image stays readable between calls.
class QtPainterDevice : public CanvasDevice {
 public:
  // dpi: the resolution the canvas lays out for (96 on screens and bitmaps,
  // whatever the monitor; the printer's own on a page).
  explicit QtPainterDevice(QPainter* painter, int dpi = 96) : painter_(painter), dpi_(dpi) {}
  explicit QtPainterDevice(QImage* image) : image_(image) {}
  ~QtPainterDevice() override;
  QtPainterDevice(const QtPainterDevice&) = delete;
  QtPainterDevice& operator=(const QtPainterDevice&) = delete;

  // Draws the texts a page holds back (see PageText); the owner of a page
  // painter calls it before the page ends.
  void FlushText();

  void FillRect(const TRect& r, const TBrush& brush) override;
  void Rectangle(const TRect& r, const TPen& pen, const TBrush& brush) override;
  void Ellipse(const TRect& r, const TPen& pen, const TBrush& brush) override;
  void Polygon(const std::vector<TPoint>& points, const TPen& pen, const TBrush& brush) override;
  void Line(TPoint a, TPoint b, const TPen& pen) override;
  void Text(int x, int y, const AnsiString& text, const TFont& font, const TBrush& brush) override;
  TSize TextExtent(const AnsiString& text, const TFont& font) override;
  void FocusRect(const TRect& r) override;
  void DrawBitmap(const TRect& dest, const TBitmap& bitmap) override;
  void SetPixel(int x, int y, TColor color) override;
  TColor Pixel(int x, int y) override;
  void SetClip(const TRect* r) override;
  void SetClipRegion(const std::vector<TRect>* rects) override;
  int LogPixelsX() const override { return dpi_; }
  int LogPixelsY() const override { return dpi_; }
  TRect Bounds() const override;

 private:
  // The Qt font and metrics of a font, and the extents measured with it.
  // A paint measures the same few fonts and texts over and over; building
  // the Qt font and shaping the text once each keeps it cheap.
  struct FontEntry {
    FontEntry(const TFont& font, QPaintDevice* surface);
    // Same Qt font: colour and orientation are applied when drawing.
    bool Matches(const TFont& font) const {
      return height == font.Height() && style == font.Style() && pitch == font.Pitch() && name == font.Name();
    }
    AnsiString name;
    int height = 0;
    TFontStyles style;
    TFontPitch pitch = fpDefault;
    QFont qfont;
    QFontMetrics metrics;
    std::unordered_map<AnsiString, TSize> extents;
    // Shaped texts, kept for pages: a PDF page draws the same numbers and
    // words over and over.
    std::unordered_map<AnsiString, QList<QGlyphRun>> runs;
  };
  FontEntry& FontFor(const TFont& font);
  // Upright text without a box on a PDF or printer page without clipping:
  // drawn from its shaped glyphs, consecutive texts of one font and colour
  // as one run (held until something else is drawn or FlushText). False
  // when the text is not of that kind.
  bool PageText(int x, int y, const AnsiString& text, const TFont& font, const TBrush& brush, FontEntry& f);
  template <typename F>
  void Paint(F&& draw);
  QPaintDevice* Surface() const;

  std::vector<std::unique_ptr<FontEntry>> fonts_;  // most recently used first

  struct PendingText {
    QRawFont font;
    QColor color;
    QList<quint32> glyphs;
    QList<QPointF> positions;
  };
  std::unique_ptr<PendingText> pending_;

  QPainter* painter_ = nullptr;
  QImage* image_ = nullptr;
  int dpi_ = 96;
  bool clipped_ = false;
  QRegion clip_;
};

}  // namespace vx
