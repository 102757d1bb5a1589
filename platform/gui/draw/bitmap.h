// Pictures: TBitmap (a 32-bit image with its own canvas), TPicture (holds one
// graphic loaded from a file), TIcon (the program's icon) and TImageList (a
// row of equally sized images drawn by index).
//
// TBitmap's canvas draws straight into the image; Width/Height changes keep
// the top-left part and fill new pixels white. Loading a damaged or missing
// file raises EInvalidGraphic and leaves the bitmap as it was.
#pragma once

#include <memory>
#include <vector>

#include "platform/gui/draw/canvas.h"
#include "platform/rtl/component.h"
#include "platform/rtl/sysutils.h"

namespace vx {
struct BitmapData;  // the Qt image behind a bitmap (qt_bridge.h)
}

class EInvalidGraphic : public Exception {
 public:
  using Exception::Exception;
};

class TBitmap : public TGraphic {
 public:
  TBitmap();
  TBitmap(int width, int height);
  ~TBitmap() override;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  int Width() const override;
  int Height() const override;
  void SetWidth(int v);
  void SetHeight(int v);
  void SetSize(int width, int height);
  void Assign(const TBitmap& source);
  void LoadFromFile(const AnsiString& fileName) override;
  void SaveToFile(const AnsiString& fileName) const override;
  const TBitmap* AsBitmap() const override { return this; }

  TCanvas* Canvas();

  vx::BitmapData& Data() const { return *data_; }

 private:
  std::unique_ptr<vx::BitmapData> data_;
  std::unique_ptr<vx::CanvasDevice> device_;
  std::unique_ptr<TCanvas> canvas_;
};

class TIcon : public TBitmap {};

class TPicture {
 public:
  TPicture();
  ~TPicture();
  TBitmap* Bitmap();
  TGraphic* Graphic() { return bitmap_.get(); }
  void LoadFromFile(const AnsiString& fileName);
  void SaveToFile(const AnsiString& fileName) const;
  void Assign(const TPicture& source);
  int Width() const;
  int Height() const;
  std::function<void(TObject*)> OnChange;

 private:
  std::unique_ptr<TBitmap> bitmap_;
};

// A component, so that whoever keeps a pointer to a list can ask to hear
// (FreeNotification) when it is destroyed.
class TImageList : public TComponent {
 public:
  TImageList(int width = 16, int height = 16) : TImageList(nullptr, width, height) {}
  explicit TImageList(TComponent* AOwner, int width = 16, int height = 16)
      : TComponent(AOwner), width_(width), height_(height) {}
  int Width() const { return width_; }
  int Height() const { return height_; }
  int Count() const { return static_cast<int>(images_.size()); }
  // Adds a copy of image scaled to the list's size; returns its index.
  int Add(const TBitmap* image, const TBitmap* mask = nullptr);
  void Delete(int index);
  void Clear() { images_.clear(); }
  // Draws image index at (x, y); an index out of range draws nothing.
  void Draw(TCanvas* canvas, int x, int y, int index) const;
  void GetBitmap(int index, TBitmap* out) const;

 private:
  int width_;
  int height_;
  std::vector<std::unique_ptr<TBitmap>> images_;
};
