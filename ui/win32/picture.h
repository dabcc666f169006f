#pragma once
// A picture file (JPEG, PNG, BMP, GIF) loaded through GDI+ and drawn scaled to fit.
#include <windows.h>

#include <string>

namespace trwk::win32 {

class Picture {
 public:
  Picture() = default;
  ~Picture();
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  // Loads the file (a Windows-1252 path); a missing or unreadable file leaves it empty.
  bool load(const std::string& path);
  void clear();
  bool empty() const { return bitmap_ == nullptr; }
  const std::string& path() const { return path_; }

  // Fills the rectangle with the background and draws the picture centred in it, scaled
  // down (never up past twice its size) with its proportions kept.
  void draw(HDC dc, const RECT& area, COLORREF background) const;

 private:
  HBITMAP bitmap_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  std::string path_;
};

}  // namespace trwk::win32
