#include "platform/gui/draw/bitmap.h"

#include <QImageReader>

#include "platform/gui/draw/qt_bridge.h"

namespace {
QImage BlankImage(int w, int h) {
  if (w <= 0 || h <= 0) return QImage();
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(Qt::white);
  return img;
}
}  // namespace

TBitmap::TBitmap() : data_(std::make_unique<vx::BitmapData>()) {}

TBitmap::TBitmap(int width, int height) : TBitmap() { SetSize(width, height); }

TBitmap::~TBitmap() = default;

int TBitmap::Width() const { return data_->image.width(); }
int TBitmap::Height() const { return data_->image.height(); }
void TBitmap::SetWidth(int v) { SetSize(v, Height()); }
void TBitmap::SetHeight(int v) { SetSize(Width(), v); }

void TBitmap::SetSize(int w, int h) {
  if (w < 0) w = 0;
  if (h < 0) h = 0;
  if (w == Width() && h == Height()) return;
  QImage next = BlankImage(w, h);
  if (!next.isNull() && !data_->image.isNull()) {
    QPainter p(&next);
    p.drawImage(0, 0, data_->image);
  }
  data_->image = next;
}

void TBitmap::Assign(const TBitmap& source) {
  if (&source != this) data_->image = source.data_->image.copy();
}

void TBitmap::LoadFromFile(const AnsiString& fileName) {
  QImageReader reader(vx::ToQString(fileName));
  QImage img = reader.read();
  if (img.isNull()) throw EInvalidGraphic("Bitmap image is not valid: " + fileName);
  data_->image = img.convertToFormat(QImage::Format_RGB32);
}

void TBitmap::SaveToFile(const AnsiString& fileName) const {
  if (!data_->image.save(vx::ToQString(fileName))) throw EFCreateError("Cannot create file \"" + fileName + "\"");
}

TCanvas* TBitmap::Canvas() {
  if (!canvas_) {
    device_ = std::make_unique<vx::QtPainterDevice>(&data_->image);
    canvas_ = std::make_unique<TCanvas>(device_.get());
  }
  return canvas_.get();
}

TPicture::TPicture() : bitmap_(std::make_unique<TBitmap>()) {}
TPicture::~TPicture() = default;

TBitmap* TPicture::Bitmap() { return bitmap_.get(); }

void TPicture::LoadFromFile(const AnsiString& fileName) {
  bitmap_->LoadFromFile(fileName);
  if (OnChange) OnChange(nullptr);
}

void TPicture::SaveToFile(const AnsiString& fileName) const { bitmap_->SaveToFile(fileName); }

void TPicture::Assign(const TPicture& source) {
  bitmap_->Assign(*source.bitmap_);
  if (OnChange) OnChange(nullptr);
}

int TPicture::Width() const { return bitmap_->Width(); }
int TPicture::Height() const { return bitmap_->Height(); }

int TImageList::Add(const TBitmap* image, const TBitmap*) {
  auto copy = std::make_unique<TBitmap>(width_, height_);
  if (image && !image->Empty())
    copy->Data().image = image->Data().image.scaled(width_, height_).convertToFormat(QImage::Format_RGB32);
  images_.push_back(std::move(copy));
  return Count() - 1;
}

void TImageList::Delete(int index) {
  if (index >= 0 && index < Count()) images_.erase(images_.begin() + index);
}

void TImageList::Draw(TCanvas* canvas, int x, int y, int index) const {
  if (canvas && index >= 0 && index < Count()) canvas->Draw(x, y, images_[static_cast<std::size_t>(index)].get());
}

void TImageList::GetBitmap(int index, TBitmap* out) const {
  if (out && index >= 0 && index < Count()) out->Assign(*images_[static_cast<std::size_t>(index)]);
}
