// Colours, fonts, brushes and pens: the drawing attributes of the class library.
//
// TColor keeps the class library's numbering: 0x00BBGGRR for a plain colour,
// 0x800000nn for system colour nn (resolved through one fixed table, so output
// is the same on every machine), clNone and clDefault as special values.
// TFont, TBrush and TPen are value-like objects with an OnChange event that
// fires once per effective change; owners (controls, canvases) listen to it.
// No Qt types appear here; the Qt mapping lives in qt_bridge.h.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/gui/base/gui_types.h"
#include "platform/rtl/cp1251.h"

using TColor = std::int32_t;

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080, clNavy = 0x800000,
                 clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080, clSilver = 0xC0C0C0, clRed = 0x0000FF,
                 clLime = 0x00FF00, clYellow = 0x00FFFF, clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00,
                 clLtGray = 0xC0C0C0, clDkGray = 0x808080, clWhite = 0xFFFFFF, clCream = 0xF0FBFF,
                 clMoneyGreen = 0xC0DCC0, clSkyBlue = 0xF0CAA6;
constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;

// System colours: 0x80000000 | index.
constexpr TColor SystemColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<unsigned>(index)); }
constexpr TColor clScrollBar = SystemColor(0), clBackground = SystemColor(1), clActiveCaption = SystemColor(2),
                 clInactiveCaption = SystemColor(3), clMenu = SystemColor(4), clWindow = SystemColor(5),
                 clWindowFrame = SystemColor(6), clMenuText = SystemColor(7), clWindowText = SystemColor(8),
                 clCaptionText = SystemColor(9), clActiveBorder = SystemColor(10), clInactiveBorder = SystemColor(11),
                 clAppWorkSpace = SystemColor(12), clHighlight = SystemColor(13), clHighlightText = SystemColor(14),
                 clBtnFace = SystemColor(15), clBtnShadow = SystemColor(16), clGrayText = SystemColor(17),
                 clBtnText = SystemColor(18), clInactiveCaptionText = SystemColor(19), clBtnHighlight = SystemColor(20),
                 cl3DDkShadow = SystemColor(21), cl3DLight = SystemColor(22), clInfoText = SystemColor(23),
                 clInfoBk = SystemColor(24);

// RGB(r, g, b) as the class library builds it: red in the low byte.
constexpr TColor RGB(int r, int g, int b) {
  return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// The plain 0x00BBGGRR value of a colour; system colours come from the fixed
// table, clNone and clDefault give white and black, an unknown system index black.
TColor ColorToRGB(TColor color);

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;

enum TFontPitch { fpDefault, fpVariable, fpFixed };

constexpr int DEFAULT_CHARSET = 1, ANSI_CHARSET = 0, RUSSIAN_CHARSET = 204;

// Base of the drawing attributes: OnChange fires after each effective change.
class TGraphicsObject {
 public:
  virtual ~TGraphicsObject() = default;
  std::function<void(TObject*)> OnChange;

 protected:
  void Changed();
};

class TFont : public TGraphicsObject {
 public:
  TFont();
  TFont(const TFont& other);
  TFont& operator=(const TFont& other);

  void Assign(const TFont& source);

  const AnsiString& Name() const { return name_; }
  void SetName(const AnsiString& v);
  // Height is kept in the units of the surface the font draws on (pixels
  // at PixelsPerInch, or the logical units of a mapping mode): negative for
  // the character (em) height, positive for the cell height. Size is the
  // point size derived from it: -Height * 72 / PixelsPerInch, rounded.
  int Size() const;
  void SetSize(int v);
  int Height() const { return height_; }
  void SetHeight(int v);
  // 96 unless a canvas of another resolution took the font; changing it
  // keeps the point size.
  int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int v);
  // Angle of the text's base line in tenths of a degree, counter-clockwise.
  int Orientation() const { return orientation_; }
  void SetOrientation(int v);
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles v);
  int Charset() const { return charset_; }
  void SetCharset(int v);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch v);

  bool operator==(const TFont& o) const;

 private:
  AnsiString name_;
  int height_;
  int pixelsPerInch_ = 96;
  int orientation_ = 0;
  TColor color_;
  TFontStyles style_;
  int charset_;
  TFontPitch pitch_;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush : public TGraphicsObject {
 public:
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle v);
  void Assign(const TBrush& source);

 private:
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode { pmCopy, pmNot, pmXor, pmNotXor, pmMask, pmMerge };

class TPen : public TGraphicsObject {
 public:
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  int Width() const { return width_; }
  void SetWidth(int v);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle v);
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode v);
  void Assign(const TPen& source);

 private:
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  TPenMode mode_ = pmCopy;
};

namespace vx {
// The installed family that stands in for a Windows font name ("MS Sans
// Serif", "Arial", "Times New Roman", "Courier New" ...). Unknown names are
// returned unchanged.
AnsiString MapFontName(const AnsiString& windowsName);
// The font controls start with: "MS Sans Serif", 8 points, Cyrillic charset.
const AnsiString& DefaultFontName();
}  // namespace vx
