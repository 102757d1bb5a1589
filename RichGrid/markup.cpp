#include "RichGrid/markup.h"

#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QIcon>
#include <algorithm>
#include <memory>

#include "platform/gui/draw/qt_bridge.h"
#include "platform/rtl/sysutils.h"

namespace {

constexpr char CR = '\r';
constexpr int kListIndent = 12;
constexpr int kShadowOffset = 1;
constexpr TColor kShadowColor = RGB(0x80, 0x80, 0x80);

struct NamedColor {
  const char* name;
  TColor color;
};

const NamedColor kNamedColors[] = {
    {"clred", RGB(0xFF, 0, 0)},
    {"clblack", RGB(0, 0, 0)},
    {"clblue", RGB(0, 0, 0xFF)},
    {"clgreen", RGB(0, 0x80, 0)},
    {"claqua", RGB(0, 0xFF, 0xFF)},
    {"clyellow", RGB(0xFF, 0xFF, 0)},
    {"clfuchsia", RGB(0xFF, 0, 0xFF)},
    {"clwhite", RGB(0xFF, 0xFF, 0xFF)},
    {"cllime", RGB(0, 0xFF, 0)},
    {"clsilver", RGB(0xC0, 0xC0, 0xC0)},
    {"clgray", RGB(0x80, 0x80, 0x80)},
    {"clolive", RGB(0x80, 0x80, 0)},
    {"clnavy", RGB(0, 0, 0x80)},
    {"clpurple", RGB(0x80, 0, 0x80)},
    {"clteal", RGB(0, 0x80, 0x80)},
    {"clmaroon", RGB(0x80, 0, 0)},
    {"clbackground", SystemColor(1)},
    {"clactivecaption", SystemColor(2)},
    {"clinactivecaption", SystemColor(3)},
    {"clmenu", SystemColor(4)},
    {"clwindow", SystemColor(5)},
    {"clwindowframe", SystemColor(6)},
    {"clmenutext", SystemColor(7)},
    {"clwindowtext", SystemColor(8)},
    {"clcaptiontext", SystemColor(9)},
    {"clactiveborder", SystemColor(10)},
    {"clinactiveborder", SystemColor(11)},
    {"clappworkspace", SystemColor(12)},
    {"clhighlight", SystemColor(13)},
    {"clhighlighttext", SystemColor(14)},
    {"clbtnface", SystemColor(15)},
    {"clbtnshadow", SystemColor(16)},
    {"clgraytext", SystemColor(17)},
    {"clbtntext", SystemColor(18)},
    {"clinactivecaptiontext", SystemColor(19)},
    {"clbtnhighlight", SystemColor(20)},
    {"cl3ddkshadow", SystemColor(21)},
    {"cl3dlight", SystemColor(22)},
    {"clinfotext", SystemColor(23)},
    {"clinfobk", SystemColor(24)},
};

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(c | 0x20);
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

bool StartsWithNoCase(const AnsiString& s, const char* prefix) {
  const std::size_t n = std::char_traits<char>::length(prefix);
  return s.size() >= n && UpperCase(s.substr(0, n)) == UpperCase(prefix);
}

// The value of an attribute: the text between the two double quotes after
// its name (found without regard to case); empty when absent.
AnsiString Attribute(const AnsiString& tag, const char* name) {
  const std::size_t at = UpperCase(tag).find(UpperCase(name));
  if (at == AnsiString::npos) return AnsiString();
  const std::size_t q1 = tag.find('"', at);
  if (q1 == AnsiString::npos) return AnsiString();
  const std::size_t q2 = tag.find('"', q1 + 1);
  if (q2 == AnsiString::npos) return AnsiString();
  return tag.substr(q1 + 1, q2 - q1 - 1);
}

// Entities decoded up to the first '&' that begins none of them.
AnsiString DecodeEntities(const AnsiString& run) {
  static const struct {
    const char* name;
    char c;
  } entities[] = {{"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}};
  AnsiString out;
  std::size_t i = 0;
  while (i < run.size()) {
    if (run[i] != '&') {
      out += run[i++];
      continue;
    }
    bool known = false;
    for (const auto& e : entities) {
      if (run.compare(i, std::char_traits<char>::length(e.name), e.name) == 0) {
        out += e.c;
        i += std::char_traits<char>::length(e.name);
        known = true;
        break;
      }
    }
    if (!known) return out + run.substr(i);
  }
  return out;
}

enum TMarkupAlign { maLeft, maRight, maCenter };

// The formatting state that carries from one run to the next.
struct MarkupState {
  std::size_t pos = 0;
  AnsiString fontName;
  int fontSize = 8;
  TFontStyles style;
  TColor fontColor = clBlack;
  TColor textBack = clNone, previousTextBack = clNone;
  TColor paraBack = clNone, previousParaBack = clNone;
  TMarkupAlign align = maLeft;
  int listLevel = 0;
  int angle = 0;
  bool shadow = false, sub = false, sup = false, hidden = false, blink = false;
  bool inLink = false;
  AnsiString linkTarget;
  int linkCount = 0;
};

// What measuring found out about one line.
struct LineMetrics {
  std::size_t end = 0;
  int width = 0, height = 0, subExtra = 0, supExtra = 0, textOffset = 0;
  TMarkupAlign align = maLeft;
  TColor paraBack = clNone;
  int Total() const { return height + subExtra + supExtra; }
};

struct Image {
  std::unique_ptr<TBitmap> bitmap;  // empty: drawn from the image list
  int listIndex = -1;
  int width = 0, height = 0;
};

// The fixed inputs of one DrawMarkup call.
struct Renderer {
  TCanvas* canvas;
  const AnsiString& text;
  TRect rect;
  TImageList* images;
  int pointX, pointY;
  bool hitTestOnly, measureOnly, printMode, selected, blinkOn;
  double scale;
  TColor linkColor;
  TFont startFont;
  TColor background;  // the brush colour on entry: the colour of invisible blink text
  AnsiString& linkUnderPoint;
  AnsiString& plainText;
  bool hit = false;

  bool Drawing() const { return !hitTestOnly && !measureOnly; }

  void ApplyFont(const MarkupState& st, bool forDrawing) {
    TFont* f = canvas->Font();
    f->SetName(st.fontName);
    f->SetSize(st.fontSize);
    f->SetStyle(st.style);
    f->SetOrientation(st.angle * 10);
    f->SetColor(forDrawing && st.blink && !blinkOn ? background : st.fontColor);
  }

  int GhHeight(const MarkupState& st) {
    ApplyFont(st, false);
    return canvas->TextHeight("gh");
  }

  Image LoadImage(const AnsiString& tag) const;
  bool Tag(MarkupState& st, const AnsiString& tag, bool finalPass, LineMetrics& line, int& x, int lineTop,
           const LineMetrics* measured, bool& listItemOnLine, bool& consumed);
  void LayoutLine(MarkupState& st, const LineMetrics* measured, int lineLeft, int lineTop, LineMetrics& out);
};

Image Renderer::LoadImage(const AnsiString& tag) const {
  Image img;
  const AnsiString src = Attribute(tag, "src");
  auto fromQImage = [&](const QImage& q) {
    if (q.isNull()) return;
    img.bitmap = std::make_unique<TBitmap>();
    img.bitmap->Data().image = q.convertToFormat(QImage::Format_RGB32);
  };
  if (StartsWithNoCase(src, "idx:")) {
    int n = -1;
    if (images && TryStrToInt(src.substr(4), n) && n >= 0 && n < images->Count()) {
      img.listIndex = n;
      img.width = images->Width();
      img.height = images->Height();
    }
    return img;
  }
  if (StartsWithNoCase(src, "ssys:") || StartsWithNoCase(src, "lsys:")) {
    const int size = StartsWithNoCase(src, "ssys:") ? 16 : 32;
    const AnsiString what = src.substr(5);
    QFileIconProvider provider;
    QIcon icon;
    int index = 0;
    const QFileInfo info(vx::ToQString(what));
    if (TryStrToInt(what, index))
      icon = provider.icon(static_cast<QAbstractFileIconProvider::IconType>(std::clamp(index, 0, 6)));
    else if (info.exists()) icon = provider.icon(info);
    else icon = provider.icon(QFileInfo(QDir::temp().filePath("x." + info.suffix())));
    fromQImage(icon.pixmap(size, size).toImage());
  } else if (StartsWithNoCase(src, "res://")) {
    fromQImage(QImage(":/" + vx::ToQString(src.substr(6))));
  } else if (StartsWithNoCase(src, "file://")) {
    fromQImage(QImage(vx::ToQString(src.substr(7))));
  }
  if (!img.bitmap) return img;
  img.width = img.bitmap->Width();
  img.height = img.bitmap->Height();
  const int w = StrToIntDef(Attribute(tag, "width"), 0), h = StrToIntDef(Attribute(tag, "height"), 0);
  if (StartsWithNoCase(src, "file://") && w >= 1 && h >= 1) {
    img.width = w;
    img.height = h;
  }
  return img;
}

// Handles one tag. Returns false when the line ends there; `consumed` tells
// whether the tag belongs to this line (false: it starts the next one).
bool Renderer::Tag(MarkupState& st, const AnsiString& tag, bool finalPass, LineMetrics& line, int& x, int lineTop,
                   const LineMetrics* measured, bool& listItemOnLine, bool& consumed) {
  consumed = true;
  if (tag.empty()) return true;
  const bool drawing = finalPass && Drawing();
  const bool closing = tag[0] == '/';
  const AnsiString name = UpperCase(closing ? tag.substr(1) : tag);
  if (name.empty()) return true;
  const char letter = name[0];
  if (closing) {
    switch (letter) {
      case 'A':
        st.style.Exclude(fsUnderline);
        if (!selected) st.fontColor = startFont.Color();
        st.inLink = false;
        break;
      case 'B':
        if (StartsWithNoCase(name, "BL")) {
          st.blink = false;
          st.fontColor = startFont.Color();
        } else {
          st.style.Exclude(fsBold);
        }
        break;
      case 'F':
        st.fontName = startFont.Name();
        st.fontSize = startFont.Size();
        if (drawing && !selected) {
          st.fontColor = startFont.Color();
          st.textBack = st.previousTextBack;
        }
        break;
      case 'I': st.style.Exclude(fsItalic); break;
      case 'P': st.paraBack = st.previousParaBack; return false;
      case 'R': st.angle = 0; break;
      case 'S':
        if (StartsWithNoCase(name, "SU")) st.sub = st.sup = false;
        else if (StartsWithNoCase(name, "SH")) st.shadow = false;
        else st.style.Exclude(fsStrikeOut);
        break;
      case 'U':
        if (StartsWithNoCase(name, "UL>") || name == "UL") {
          if (st.listLevel > 0) --st.listLevel;
          else st.style.Exclude(fsUnderline);
        } else {
          st.style.Exclude(fsUnderline);
        }
        break;
      case 'Z': st.hidden = false; break;
      default: break;
    }
    return true;
  }
  switch (letter) {
    case 'A':
      ++st.linkCount;
      st.inLink = true;
      st.linkTarget = Attribute(tag, "href");
      st.style.Include(fsUnderline);
      if (!selected) st.fontColor = linkColor;
      return true;
    case 'B':
      if (name == "B") {
        st.style.Include(fsBold);
      } else if (name == "BR") {
        if (finalPass) plainText += CR;
        return false;
      } else if (StartsWithNoCase(name, "BLINK")) {
        st.blink = true;
      } else if (StartsWithNoCase(name, "BODY") && drawing) {
        const TColor back = MarkupColor(Attribute(tag, "bgcolor"), clNone);
        if (back != clNone) {
          canvas->Brush()->SetStyle(bsSolid);
          canvas->Brush()->SetColor(back);
          canvas->FillRect(rect);
          canvas->Brush()->SetStyle(bsClear);
        }
        const AnsiString file = Attribute(tag, "background");
        if (StartsWithNoCase(file, "file://")) {
          TBitmap tile;
          const QImage q(vx::ToQString(file.substr(7)));
          if (!q.isNull()) {
            tile.Data().image = q.convertToFormat(QImage::Format_RGB32);
            const bool hadClip = canvas->HasClip();
            const TRect oldClip = canvas->ClipRect();
            canvas->SetClipRect(rect);
            for (int y = rect.Top; y < rect.Bottom; y += tile.Height())
              for (int tx = rect.Left; tx < rect.Right; tx += tile.Width()) canvas->Draw(tx, y, &tile);
            if (hadClip) canvas->SetClipRect(oldClip);
            else canvas->ResetClipRect();
          }
        }
      }
      return true;
    case 'F': {
      const AnsiString face = Attribute(tag, "face");
      if (!face.empty()) st.fontName = face;
      if (!selected) st.fontColor = MarkupColor(Attribute(tag, " color"), st.fontColor);
      if (drawing && !selected) {
        st.previousTextBack = st.textBack;
        st.textBack = MarkupColor(Attribute(tag, "bgcolor"), st.textBack);
      }
      int size = 0;
      if (TryStrToInt(Attribute(tag, "size"), size) && size > 0) st.fontSize = size;
      return true;
    }
    case 'H':
      if (drawing) {
        const int y = lineTop + measured->Total();
        canvas->Pen()->SetColor(clBlack);
        canvas->Pen()->SetWidth(1);
        canvas->MoveTo(rect.Left, y);
        canvas->LineTo(rect.Right, y);
      }
      return false;
    case 'I':
      if (name == "I") {
        st.style.Include(fsItalic);
      } else if (StartsWithNoCase(name, "IND")) {
        int indent = 0;
        if (TryStrToInt(Attribute(tag, "x"), indent) && indent > line.width) {
          x += indent - line.width;
          line.width = indent;
        }
      } else if (StartsWithNoCase(name, "IMG")) {
        const Image img = LoadImage(tag);
        const int w = printMode ? static_cast<int>(img.width * scale) : img.width;
        const int h = printMode ? static_cast<int>(img.height * scale) : img.height;
        if (w <= 0 || h <= 0) return true;
        const int available = rect.Right - rect.Left;
        if (!finalPass && line.width > 0 && line.width + w > available && w < available) {
          consumed = false;
          return false;
        }
        if (!finalPass) {
          line.height = std::max(line.height, h);
          const AnsiString align = UpperCase(Attribute(tag, "align"));
          const int gh = canvas->TextHeight("gh");
          if (align.rfind("TOP", 0) == 0) line.textOffset = std::max(line.textOffset, line.height - gh);
          if (align.rfind("MIDDLE", 0) == 0) line.textOffset = std::max(line.textOffset, (line.height - gh) / 2);
        } else {
          const int bottom = lineTop + measured->supExtra + measured->height;
          if (drawing) {
            if (img.bitmap) canvas->StretchDraw(Rect(x, bottom - h, x + w, bottom), img.bitmap.get());
            else if (printMode) {
              TBitmap b;
              images->GetBitmap(img.listIndex, &b);
              canvas->StretchDraw(Rect(x, bottom - h, x + w, bottom), &b);
            } else {
              images->Draw(canvas, x, bottom - h, img.listIndex);
            }
          }
          if (hitTestOnly && st.inLink && pointX >= x && pointX < x + w && pointY >= bottom - h && pointY < bottom) {
            hit = true;
            linkUnderPoint = st.linkTarget;
          }
        }
        x += w;
        line.width += w;
      }
      return true;
    case 'L': {
      if (listItemOnLine) {
        consumed = false;
        return false;
      }
      listItemOnLine = true;
      const int level = std::max(1, st.listLevel);
      if (drawing) {
        ApplyFont(st, true);
        const int bottom = lineTop + measured->supExtra + measured->height - measured->textOffset;
        canvas->TextOut(x + (level - 1) * kListIndent, bottom - canvas->TextHeight("gh"), level % 2 ? "\x95" : "o");
      }
      x += level * kListIndent;
      line.width += level * kListIndent;
      return true;
    }
    case 'P': {
      const AnsiString align = UpperCase(Attribute(tag, "align"));
      if (align == "RIGHT") st.align = maRight;
      if (align == "LEFT") st.align = maLeft;
      if (align == "CENTER") st.align = maCenter;
      st.previousParaBack = st.paraBack;
      st.paraBack = MarkupColor(Attribute(tag, "bgcolor"), st.paraBack);
      if (!finalPass && st.paraBack != clNone) line.paraBack = st.paraBack;
      return true;
    }
    case 'R': st.angle = StrToIntDef(Attribute(tag, "a"), 0); return true;
    case 'S':
      if (name == "S") st.style.Include(fsStrikeOut);
      else if (name == "SUB") st.sub = true;
      else if (name == "SUP") st.sup = true;
      else if (name == "SHAD") st.shadow = true;
      return true;
    case 'U':
      if (name == "UL") ++st.listLevel;
      else st.style.Include(fsUnderline);
      return true;
    case 'Z': st.hidden = true; return true;
    default: return true;
  }
}

void Renderer::LayoutLine(MarkupState& st, const LineMetrics* measured, int lineLeft, int lineTop, LineMetrics& out) {
  const bool finalPass = measured != nullptr;
  const std::size_t n = text.size();
  const int available = rect.Right - rect.Left;
  out = LineMetrics{};
  out.height = GhHeight(st);
  out.paraBack = st.paraBack;
  int x = lineLeft;
  int trailingBlank = 0;
  bool listItemOnLine = false;
  if (finalPass && Drawing() && measured->paraBack != clNone) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(measured->paraBack);
    canvas->FillRect(Rect(rect.Left, lineTop, rect.Right, lineTop + measured->Total()));
    canvas->Brush()->SetStyle(bsClear);
  }
  while (st.pos < n && (!finalPass || st.pos < measured->end)) {
    AnsiString raw;
    std::size_t next;
    if (text[st.pos] == '<') {
      const std::size_t gt = text.find('>', st.pos + 1);
      if (gt == AnsiString::npos) {
        st.pos = n;  // a '<' without '>' ends the text
        break;
      }
      const AnsiString tag = text.substr(st.pos + 1, gt - st.pos - 1);
      if (tag.empty() || tag[0] != '#') {
        trailingBlank = 0;
        bool consumed = true;
        const bool goesOn = Tag(st, tag, finalPass, out, x, lineTop, measured, listItemOnLine, consumed);
        if (consumed) st.pos = gt + 1;
        if (!goesOn) break;
        continue;
      }
      raw = tag;  // "<#...>": the text between stays
      next = gt + 1;
    } else {
      const std::size_t lt = text.find('<', st.pos);
      const std::size_t blank = text.find(' ', st.pos);
      next = lt != AnsiString::npos && (blank == AnsiString::npos || lt < blank) ? lt
             : blank != AnsiString::npos                                         ? blank + 1
                                                                                 : n;
      raw = DecodeEntities(text.substr(st.pos, next - st.pos));
    }
    if (st.hidden) {
      st.pos = next;
      continue;
    }
    ApplyFont(st, finalPass);
    const TSize size = canvas->TextExtent(raw);
    if (!finalPass) {
      if (out.width + size.cx >= available && size.cx < available && out.width > 0) break;
      out.height = std::max(out.height, size.cy);
      if (st.sub) out.subExtra = std::max(out.subExtra, size.cy / 4);
      if (st.sup) out.supExtra = std::max(out.supExtra, size.cy / 4);
    } else {
      int bottom = lineTop + measured->supExtra + measured->height - measured->textOffset;
      if (st.sub) bottom += measured->subExtra;
      if (st.sup) bottom -= measured->supExtra;
      const int top = bottom - size.cy;
      if (Drawing()) {
        if (st.textBack != clNone) {
          canvas->Brush()->SetStyle(bsSolid);
          canvas->Brush()->SetColor(st.textBack);
          canvas->FillRect(Rect(x, top, x + size.cx, bottom));
          canvas->Brush()->SetStyle(bsClear);
        }
        if (st.shadow) {
          canvas->Font()->SetColor(kShadowColor);
          canvas->TextOut(x + kShadowOffset, top + kShadowOffset, raw);
          ApplyFont(st, true);
        }
        canvas->TextOut(x, top, raw);
      }
      if (hitTestOnly && st.inLink && pointX >= x && pointX < x + size.cx) {
        const int lineBottom = lineTop + measured->Total() - measured->textOffset;
        const int gh = canvas->TextHeight("gh");
        if (pointY >= lineBottom - gh && pointY <= lineBottom) {
          hit = true;
          linkUnderPoint = st.linkTarget;
        }
      }
      plainText += raw;
    }
    x += size.cx;
    out.width += size.cx;
    trailingBlank = !raw.empty() && raw.back() == ' ' ? canvas->TextWidth(" ") : 0;
    st.pos = next;
  }
  out.width -= trailingBlank;
  out.end = st.pos;
  out.align = st.align;
  if (out.paraBack == clNone) out.paraBack = st.paraBack;
}

}  // namespace

TColor MarkupColor(const AnsiString& value, TColor current) {
  if (value.find("cl") != AnsiString::npos) {
    const AnsiString name = LowerCase(Trim(value));
    for (const NamedColor& c : kNamedColors)
      if (name == c.name) return c.color;
    return clBlack;
  }
  const std::size_t hash = value.find('#');
  if (hash == AnsiString::npos || value.size() < hash + 7) return current;
  int bytes[3];
  for (int i = 0; i < 3; ++i) {
    const int hi = HexValue(value[hash + 1 + 2 * i]), lo = HexValue(value[hash + 2 + 2 * i]);
    if (hi < 0 || lo < 0) return current;
    bytes[i] = hi * 16 + lo;
  }
  return RGB(bytes[0], bytes[1], bytes[2]);
}

AnsiString StripMarkup(const AnsiString& text) {
  AnsiString s;
  s.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const AnsiString four = UpperCase(text.substr(i, 4));
    if (four == "<BR>" || four == "<HR>") {
      s += "\r\n";
      i += 3;
    } else {
      s += text[i];
    }
  }
  AnsiString out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '<') {
      out += s[i];
      continue;
    }
    const std::size_t gt = s.find('>', i + 1);
    if (gt == AnsiString::npos) return out + s.substr(i);
    i = gt;
  }
  return out;
}

bool DrawMarkup(TCanvas* canvas, const AnsiString& text, const TRect& rect, TImageList* images, int pointX, int pointY,
                bool hitTestOnly, bool measureOnly, bool printMode, bool selected, bool blinkOn, double scaleFactor,
                TColor linkColor, AnsiString& linkUnderPoint, AnsiString& plainText, int& width, int& height) {
  const TFont savedFont(*canvas->Font());
  TBrush savedBrush;
  savedBrush.Assign(*canvas->Brush());
  TPen savedPen;
  savedPen.Assign(*canvas->Pen());

  Renderer r{canvas,    text,     rect,    images,      pointX,    pointY,    hitTestOnly,        measureOnly,
             printMode, selected, blinkOn, scaleFactor, linkColor, savedFont, savedBrush.Color(), linkUnderPoint,
             plainText};
  r.rect.Left += 1;
  canvas->Brush()->SetStyle(bsClear);
  width = height = 0;

  MarkupState st;
  st.fontName = savedFont.Name();
  st.fontSize = savedFont.Size();
  st.style = savedFont.Style();
  st.fontColor = savedFont.Color();
  const int available = r.rect.Right - r.rect.Left;
  int top = r.rect.Top;
  bool first = true;
  while (st.pos < text.size()) {
    const MarkupState snapshot = st;
    LineMetrics line;
    r.LayoutLine(st, nullptr, r.rect.Left, top, line);
    if (st.pos == snapshot.pos) break;  // nothing fits and nothing was taken
    if (r.Drawing() && !first && top + line.height > r.rect.Bottom) break;
    const int left = line.align == maRight    ? r.rect.Right - line.width
                     : line.align == maCenter ? r.rect.Left + (available - line.width) / 2
                                              : r.rect.Left;
    st = snapshot;
    LineMetrics drawn;
    r.LayoutLine(st, &line, left, top, drawn);
    top += line.Total();
    height += line.Total();
    width = std::max(width, line.width);
    first = false;
  }
  canvas->Font()->Assign(savedFont);
  height = std::max(height, canvas->TextHeight("gh"));
  canvas->Brush()->Assign(savedBrush);
  canvas->Pen()->Assign(savedPen);
  return r.hit;
}
