#include "ui/win32/picture.h"

// GDI+ needs the OLE types that a lean windows.h leaves out.
#include <objidl.h>
// (kept apart so that the OLE types come first)
#include <gdiplus.h>

#include <algorithm>

#include "platform/win32/win32_ui.h"

namespace trwk::win32 {
namespace {

// GDI+ is started once, on first use, and stays for the life of the program.
bool gdiplusReady() {
  static const bool ready = [] {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
  }();
  return ready;
}

}  // namespace

Picture::~Picture() {
  clear();
}

void Picture::clear() {
  if (bitmap_) DeleteObject(bitmap_);
  bitmap_ = nullptr;
  width_ = height_ = 0;
  path_.clear();
}

bool Picture::load(const std::string& path) {
  clear();
  path_ = path;
  if (path.empty() || !gdiplusReady()) return false;
  using namespace Gdiplus::DllExports;
  Gdiplus::GpBitmap* image = nullptr;
  if (GdipCreateBitmapFromFile(toWide(path).c_str(), &image) != Gdiplus::Ok || !image) return false;
  UINT w = 0, h = 0;
  GdipGetImageWidth(image, &w);
  GdipGetImageHeight(image, &h);
  HBITMAP bitmap = nullptr;
  if (w > 0 && h > 0 && GdipCreateHBITMAPFromBitmap(image, &bitmap, 0xFFFFFFFF) == Gdiplus::Ok) {
    bitmap_ = bitmap;
    width_ = static_cast<int>(w);
    height_ = static_cast<int>(h);
  }
  GdipDisposeImage(image);
  return bitmap_ != nullptr;
}

void Picture::draw(HDC dc, const RECT& area, COLORREF background) const {
  HBRUSH brush = CreateSolidBrush(background);
  FillRect(dc, &area, brush);
  DeleteObject(brush);
  if (!bitmap_) return;
  int aw = area.right - area.left, ah = area.bottom - area.top;
  if (aw <= 0 || ah <= 0) return;
  double scale = std::min({double(aw) / width_, double(ah) / height_, 2.0});
  int w = std::max(1, int(width_ * scale + 0.5)), h = std::max(1, int(height_ * scale + 0.5));
  int x = area.left + (aw - w) / 2, y = area.top + (ah - h) / 2;
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, bitmap_);
  SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchBlt(dc, x, y, w, h, source, 0, 0, width_, height_, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

}  // namespace trwk::win32
