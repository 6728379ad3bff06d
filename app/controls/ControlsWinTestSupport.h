// Test support for the control tests under Wine: a 32-bit DIB section to
// paint a control into and read its pixels back.
#pragma once

#include <windows.h>

#include <cstdint>

namespace ov::test {

class Dib {
 public:
  Dib(int w, int h) : w_(w), h_(h) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ =
        CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~Dib() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Dib(const Dib&) = delete;
  Dib& operator=(const Dib&) = delete;

  HDC dc() const { return dc_; }
  int width() const { return w_; }
  // The pixel as COLORREF (0x00BBGGRR).
  COLORREF At(int x, int y) const {
    GdiFlush();
    const uint32_t p = bits_[y * w_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  // Whether any pixel of column x between rows top and bottom has colour c.
  bool ColumnHas(int x, int top, int bottom, COLORREF c) const {
    for (int y = top; y < bottom && y < h_; ++y) {
      if (At(x, y) == c) return true;
    }
    return false;
  }

 private:
  int w_, h_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  uint32_t* bits_ = nullptr;
};

}  // namespace ov::test
