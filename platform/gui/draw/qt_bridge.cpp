#include "platform/gui/draw/qt_bridge.h"

#include <QCursor>
#include <QFontMetrics>
#include <QPaintEngine>
#include <QPen>
#include <QPixmap>
#include <QPolygon>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <map>

#include "platform/gui/draw/bitmap.h"
#include "platform/gui/base/messages.h"
#include "platform/rtl/codepages.h"
#include "platform/rtl/separated_rows.h"

namespace vx {

QString ToQString(const AnsiString& text) {
  const std::u16string u = Cp1251ToUtf16(text);
  return QString(reinterpret_cast<const QChar*>(u.data()), static_cast<qsizetype>(u.size()));
}

AnsiString FromQString(const QString& text) {
  return Utf16ToCp1251(
      std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
}

QString ToQLiteral(const AnsiString& text) {
  QString s = ToQString(text);
  s.replace(QLatin1Char('&'), QLatin1String("&&"));
  return s;
}

QString WithCrLf(const QString& text) {
  const std::u16string_view s(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
  QString out;
  out.reserve(text.size() + text.size() / 8);
  SeparatedRows<char16_t> rows(s, true);
  std::u16string_view row;
  bool broken = false;
  while (rows.Next(row, broken)) {
    out.append(QStringView(row.data(), static_cast<qsizetype>(row.size())));
    if (broken) out += QLatin1String("\r\n");
  }
  return out;
}

QColor ToQColor(TColor color) {
  const TColor c = ColorToRGB(color);
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

TColor FromQColor(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

QFont ToQFont(const TFont& font) {
  QFont f(ToQString(MapFontName(font.Name())));
  // Pixel sizes as at the font's resolution (96 dots per inch on screens
  // and images), so that every surface agrees whatever the monitor. A
  // positive height is the cell height: the em is the part of it the
  // face's ascent and descent leave.
  const int h = font.Height();
  f.setPixelSize(std::max(1, h < 0 ? -h : h));
  if (h > 0) {
    const QFontMetricsF fm(f);
    if (fm.height() > 0) f.setPixelSize(std::max(1, static_cast<int>(std::lround(h * h / fm.height()))));
  }
  f.setBold(font.Style().Contains(fsBold));
  f.setItalic(font.Style().Contains(fsItalic));
  f.setUnderline(font.Style().Contains(fsUnderline));
  f.setStrikeOut(font.Style().Contains(fsStrikeOut));
  if (font.Pitch() == fpFixed) f.setFixedPitch(true);
  return f;
}

void FromQFont(const QFont& q, TFont& font) {
  font.SetName(FromQString(q.family()));
  if (q.pixelSize() > 0) font.SetHeight(-q.pixelSize());
  else font.SetSize(static_cast<int>(std::lround(q.pointSizeF())));
  TFontStyles st;
  if (q.bold()) st.Include(fsBold);
  if (q.italic()) st.Include(fsItalic);
  if (q.underline()) st.Include(fsUnderline);
  if (q.strikeOut()) st.Include(fsStrikeOut);
  font.SetStyle(st);
}

namespace {
// Kept for the whole run: the pictures must not go after the application.
std::map<TCursor, QCursor>& ProgramCursors() {
  static auto* cursors = new std::map<TCursor, QCursor>;
  return *cursors;
}

Qt::CursorShape CursorShape(TCursor c) {
  switch (c) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS:
    case crVSplit: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE:
    case crHSplit: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass:
    case crSQLWait: return Qt::WaitCursor;
    case crDrag:
    case crMultiDrag: return Qt::DragCopyCursor;
    case crNoDrop:
    case crNo: return Qt::ForbiddenCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
  }
}
}  // namespace

QCursor ToQtCursor(TCursor c) {
  const auto& cursors = ProgramCursors();
  if (const auto i = cursors.find(c); i != cursors.end()) return i->second;
  return QCursor(CursorShape(c));
}

void SetProgramCursor(TCursor index, const QImage& image, int hotX, int hotY) {
  QImage picture = image.convertToFormat(QImage::Format_ARGB32);
  if (!picture.isNull()) {
    const QRgb key = picture.pixel(0, 0);
    for (int y = 0; y < picture.height(); ++y)
      for (int x = 0; x < picture.width(); ++x)
        if (picture.pixel(x, y) == key) picture.setPixel(x, y, qRgba(0, 0, 0, 0));
  }
  ProgramCursors()[index] = QCursor(QPixmap::fromImage(picture), hotX, hotY);
}

bool HasProgramCursor(TCursor index) { return ProgramCursors().count(index) != 0; }

namespace {
struct KeyPair {
  int qt;
  Word vk;
};
constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Tab, VK_TAB},     {Qt::Key_Backtab, VK_TAB},     {Qt::Key_Return, VK_RETURN},
    {Qt::Key_Enter, VK_RETURN},   {Qt::Key_Shift, VK_SHIFT}, {Qt::Key_Control, VK_CONTROL}, {Qt::Key_Alt, VK_MENU},
    {Qt::Key_Escape, VK_ESCAPE},  {Qt::Key_Space, VK_SPACE}, {Qt::Key_PageUp, VK_PRIOR},    {Qt::Key_PageDown, VK_NEXT},
    {Qt::Key_End, VK_END},        {Qt::Key_Home, VK_HOME},   {Qt::Key_Left, VK_LEFT},       {Qt::Key_Up, VK_UP},
    {Qt::Key_Right, VK_RIGHT},    {Qt::Key_Down, VK_DOWN},   {Qt::Key_Insert, VK_INSERT},   {Qt::Key_Delete, VK_DELETE},
};
}  // namespace

Word VirtualKeyFromQt(int key) {
  for (const KeyPair& p : kKeys)
    if (p.qt == key) return p.vk;
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return static_cast<Word>(VK_F1 + (key - Qt::Key_F1));
  if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z)) return static_cast<Word>(key);
  return 0;
}

int QtKeyFromVirtualKey(Word vk) {
  for (const KeyPair& p : kKeys)
    if (p.vk == vk) return p.qt;
  if (vk >= VK_F1 && vk <= VK_F12) return Qt::Key_F1 + (vk - VK_F1);
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return vk;
  return 0;
}

unsigned MouseKeysFromQt(Qt::KeyboardModifiers m, Qt::MouseButtons b) {
  unsigned k = 0;
  if (m & Qt::ShiftModifier) k |= MK_SHIFT;
  if (m & Qt::ControlModifier) k |= MK_CONTROL;
  if (b & Qt::LeftButton) k |= MK_LBUTTON;
  if (b & Qt::RightButton) k |= MK_RBUTTON;
  if (b & Qt::MiddleButton) k |= MK_MBUTTON;
  return k;
}

TShiftState ShiftFromQt(Qt::KeyboardModifiers m, Qt::MouseButtons b) {
  TShiftState s;
  if (m & Qt::ShiftModifier) s.Include(ssShift);
  if (m & Qt::AltModifier) s.Include(ssAlt);
  if (m & Qt::ControlModifier) s.Include(ssCtrl);
  if (b & Qt::LeftButton) s.Include(ssLeft);
  if (b & Qt::RightButton) s.Include(ssRight);
  if (b & Qt::MiddleButton) s.Include(ssMiddle);
  return s;
}

// ---------------------------------------------------------------------------

namespace {
QPen ToQPen(const TPen& pen) {
  if (pen.Style() == psClear) return QPen(Qt::NoPen);
  QPen p(ToQColor(pen.Color()));
  p.setWidth(std::max(1, pen.Width()));
  p.setCosmetic(pen.Width() <= 1);
  switch (pen.Style()) {
    case psDash: p.setStyle(Qt::DashLine); break;
    case psDot: p.setStyle(Qt::DotLine); break;
    case psDashDot: p.setStyle(Qt::DashDotLine); break;
    case psDashDotDot: p.setStyle(Qt::DashDotDotLine); break;
    default: p.setStyle(Qt::SolidLine); break;
  }
  return p;
}

QBrush ToQBrush(const TBrush& brush) {
  const QColor c = ToQColor(brush.Color());
  switch (brush.Style()) {
    case bsClear: return QBrush(Qt::NoBrush);
    case bsHorizontal: return QBrush(c, Qt::HorPattern);
    case bsVertical: return QBrush(c, Qt::VerPattern);
    case bsFDiagonal: return QBrush(c, Qt::FDiagPattern);
    case bsBDiagonal: return QBrush(c, Qt::BDiagPattern);
    case bsCross: return QBrush(c, Qt::CrossPattern);
    case bsDiagCross: return QBrush(c, Qt::DiagCrossPattern);
    default: return QBrush(c);
  }
}

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }

void ApplyPenMode(QPainter& p, const TPen& pen) {
  if (pen.Mode() == pmXor || pen.Mode() == pmNotXor || pen.Mode() == pmNot)
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  else p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}
}  // namespace

template <typename F>
void QtPainterDevice::Paint(F&& draw) {
  FlushText();
  if (painter_) {
    painter_->save();
    if (clipped_) painter_->setClipRegion(clip_, Qt::IntersectClip);
    painter_->setRenderHint(QPainter::Antialiasing, false);
    draw(*painter_);
    painter_->restore();
  } else if (image_ && !image_->isNull()) {
    QPainter p(image_);
    if (clipped_) p.setClipRegion(clip_);
    draw(p);
  }
}

void QtPainterDevice::FillRect(const TRect& r, const TBrush& brush) {
  Paint([&](QPainter& p) { p.fillRect(ToQRect(r), ToQBrush(brush)); });
}

void QtPainterDevice::Rectangle(const TRect& r, const TPen& pen, const TBrush& brush) {
  Paint([&](QPainter& p) {
    ApplyPenMode(p, pen);
    if (brush.Style() != bsClear) p.fillRect(ToQRect(r), ToQBrush(brush));
    if (pen.Style() != psClear) {
      p.setPen(ToQPen(pen));
      p.setBrush(Qt::NoBrush);
      // An aliased 1-pixel outline of QRect(x, y, w - 1, h - 1) covers
      // exactly the columns Left..Right-1 and rows Top..Bottom-1.
      p.drawRect(QRect(r.Left, r.Top, r.Right - r.Left - 1, r.Bottom - r.Top - 1));
    }
  });
}

void QtPainterDevice::Ellipse(const TRect& r, const TPen& pen, const TBrush& brush) {
  Paint([&](QPainter& p) {
    ApplyPenMode(p, pen);
    p.setPen(ToQPen(pen));
    p.setBrush(ToQBrush(brush));
    p.drawEllipse(QRect(r.Left, r.Top, r.Right - r.Left - 1, r.Bottom - r.Top - 1));
  });
}

void QtPainterDevice::Polygon(const std::vector<TPoint>& points, const TPen& pen, const TBrush& brush) {
  QPolygon poly;
  for (const TPoint& pt : points) poly << QPoint(pt.X, pt.Y);
  Paint([&](QPainter& p) {
    ApplyPenMode(p, pen);
    p.setPen(ToQPen(pen));
    p.setBrush(ToQBrush(brush));
    p.drawPolygon(poly);
  });
}

void QtPainterDevice::Line(TPoint a, TPoint b, const TPen& pen) {
  const int dx = b.X - a.X, dy = b.Y - a.Y;
  const int n = std::max(std::abs(dx), std::abs(dy));
  if (n == 0) return;
  // Stop one step short of b along the major axis: the end point stays undrawn.
  const QPoint end(a.X + static_cast<int>(std::lround(dx * (n - 1) / static_cast<double>(n))),
                   a.Y + static_cast<int>(std::lround(dy * (n - 1) / static_cast<double>(n))));
  Paint([&](QPainter& p) {
    ApplyPenMode(p, pen);
    p.setPen(ToQPen(pen));
    p.drawLine(QPoint(a.X, a.Y), end);
  });
}

QPaintDevice* QtPainterDevice::Surface() const {
  if (painter_ && painter_->device()) return painter_->device();
  return image_;
}

TRect QtPainterDevice::Bounds() const {
  const QPaintDevice* d = Surface();
  return d ? TRect{0, 0, d->width(), d->height()} : TRect{};
}

QtPainterDevice::FontEntry::FontEntry(const TFont& font, QPaintDevice* surface)
    : name(font.Name()),
      height(font.Height()),
      style(font.Style()),
      pitch(font.Pitch()),
      qfont(ToQFont(font)),
      metrics(qfont, surface) {}

QtPainterDevice::FontEntry& QtPainterDevice::FontFor(const TFont& font) {
  constexpr std::size_t kFonts = 8;
  for (std::size_t i = 0; i < fonts_.size(); ++i)
    if (fonts_[i]->Matches(font)) {
      if (i > 0)
        std::rotate(fonts_.begin(), fonts_.begin() + static_cast<long>(i), fonts_.begin() + static_cast<long>(i) + 1);
      return *fonts_.front();
    }
  if (fonts_.size() == kFonts) fonts_.pop_back();
  fonts_.insert(fonts_.begin(), std::make_unique<FontEntry>(font, Surface()));
  return *fonts_.front();
}

bool QtPainterDevice::PageText(int x, int y, const AnsiString& text, const TFont& font, const TBrush& brush,
                               FontEntry& f) {
  if (!painter_ || clipped_ || font.Orientation() != 0 || brush.Style() != bsClear ||
      font.Style().Contains(fsUnderline) || font.Style().Contains(fsStrikeOut))
    return false;
  const QPaintEngine* engine = painter_->paintEngine();
  if (!engine || engine->type() != QPaintEngine::Pdf) return false;
  auto it = f.runs.find(text);
  if (it == f.runs.end()) {
    if (f.runs.size() >= 4096) f.runs.clear();
    QTextLayout layout(ToQString(text), f.qfont, Surface());
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    it = f.runs.emplace(text, line.isValid() ? line.glyphRuns() : QList<QGlyphRun>{}).first;
    // The canvas asks for the width next (the pen moves past the text).
    if (line.isValid() && f.extents.size() < 4096)
      f.extents.emplace(text, TSize{qRound(line.horizontalAdvance()), f.metrics.height()});
  }
  const QColor color = ToQColor(font.Color());
  for (const QGlyphRun& run : it->second) {
    if (pending_ && (pending_->color != color || pending_->font != run.rawFont())) FlushText();
    if (!pending_) {
      pending_ = std::make_unique<PendingText>();
      pending_->font = run.rawFont();
      pending_->color = color;
    }
    pending_->glyphs.append(run.glyphIndexes());
    for (const QPointF& p : run.positions()) pending_->positions.append(p + QPointF(x, y));
  }
  return true;
}

void QtPainterDevice::FlushText() {
  if (!pending_) return;
  const std::unique_ptr<PendingText> text = std::move(pending_);
  if (!painter_ || !painter_->isActive()) return;
  QGlyphRun run;
  run.setRawFont(text->font);
  run.setGlyphIndexes(text->glyphs);
  run.setPositions(text->positions);
  painter_->setPen(text->color);
  painter_->drawGlyphRun(QPointF(0, 0), run);
}

QtPainterDevice::~QtPainterDevice() { FlushText(); }

void QtPainterDevice::Text(int x, int y, const AnsiString& text, const TFont& font, const TBrush& brush) {
  FontEntry& f = FontFor(font);
  if (PageText(x, y, text, font, brush, f)) return;
  const QString s = ToQString(text);
  const int width = TextExtent(text, font).cx;
  Paint([&](QPainter& p) {
    p.setFont(f.qfont);
    // Drawn at the origin of a frame turned about the text's top-left corner.
    p.translate(x, y);
    if (font.Orientation() != 0) p.rotate(-font.Orientation() / 10.0);
    const QRect box(0, 0, width, f.metrics.height());
    if (brush.Style() != bsClear) p.fillRect(box, ToQBrush(brush));
    p.setPen(ToQColor(font.Color()));
    p.drawText(QPoint(0, f.metrics.ascent()), s);
  });
}

TSize QtPainterDevice::TextExtent(const AnsiString& text, const TFont& font) {
  FontEntry& f = FontFor(font);
  if (const auto it = f.extents.find(text); it != f.extents.end()) return it->second;
  if (f.extents.size() >= 4096) f.extents.clear();
  const TSize size{f.metrics.horizontalAdvance(ToQString(text)), f.metrics.height()};
  f.extents.emplace(text, size);
  return size;
}

void QtPainterDevice::FocusRect(const TRect& r) {
  Paint([&](QPainter& p) {
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    QPen pen(Qt::white);
    pen.setWidth(1);
    pen.setCosmetic(true);
    pen.setDashPattern({1, 1});
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(r.Left, r.Top, r.Right - r.Left - 1, r.Bottom - r.Top - 1));
  });
}

void QtPainterDevice::DrawBitmap(const TRect& dest, const TBitmap& bitmap) {
  const QImage& img = bitmap.Data().image;
  if (img.isNull() || image_ == &bitmap.Data().image) return;
  Paint([&](QPainter& p) { p.drawImage(ToQRect(dest), img); });
}

void QtPainterDevice::SetPixel(int x, int y, TColor color) {
  if (image_ && !painter_) {
    if (image_->valid(x, y) && (!clipped_ || clip_.contains(QPoint(x, y))))
      image_->setPixelColor(x, y, ToQColor(color));
    return;
  }
  Paint([&](QPainter& p) {
    p.setPen(ToQColor(color));
    p.drawPoint(x, y);
  });
}

TColor QtPainterDevice::Pixel(int x, int y) {
  if (image_ && image_->valid(x, y)) return FromQColor(image_->pixelColor(x, y));
  return clWhite;
}

void QtPainterDevice::SetClip(const TRect* r) {
  FlushText();
  clipped_ = r != nullptr;
  if (r) clip_ = QRegion(ToQRect(*r));
}

void QtPainterDevice::SetClipRegion(const std::vector<TRect>* rects) {
  FlushText();
  clipped_ = rects != nullptr;
  clip_ = QRegion();
  if (rects)
    for (const TRect& r : *rects) clip_ += ToQRect(r);
}

}  // namespace vx
