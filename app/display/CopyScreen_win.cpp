#include "app/display/CopyScreen_win.h"

namespace ov {

bool CopyScreen(DisplayHost& host, int32_t captureMode, bool withCursor) {
  const CapturePlan plan = PlanCapture(captureMode, host.CaptureGeometry());
  if (plan.width <= 0 || plan.height <= 0) return false;
  HWND main = host.MainWindow();
  // The areas are copied from the main window's client area at their place,
  // so that "Wave + Spectrum" takes the splitter and spectrum area below.
  HDC source = plan.source == CaptureSource::WholeWindow ? GetWindowDC(main) : GetDC(main);
  POINT origin{0, 0};
  HWND area = plan.source == CaptureSource::WaveArea ? host.WaveArea() : host.SpectrumArea();
  if (plan.source != CaptureSource::WholeWindow && area) {
    MapWindowPoints(area, main, &origin, 1);
  }
  HDC memory = CreateCompatibleDC(source);
  HBITMAP bitmap = CreateCompatibleBitmap(source, plan.width, plan.height);
  if (!memory || !bitmap) {
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
    ReleaseDC(main, source);
    return false;
  }
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, plan.width, plan.height, source, origin.x, origin.y, SRCCOPY);
  if (withCursor) {
    CURSORINFO info{};
    info.cbSize = sizeof info;
    POINT p;
    if (GetCursorInfo(&info) && info.hCursor && GetCursorPos(&p)) {
      ScreenToClient(main, &p);
      ICONINFO icon{};
      int hotX = 0, hotY = 0;
      if (GetIconInfo(info.hCursor, &icon)) {
        hotX = static_cast<int>(icon.xHotspot);
        hotY = static_cast<int>(icon.yHotspot);
        if (icon.hbmMask) DeleteObject(icon.hbmMask);
        if (icon.hbmColor) DeleteObject(icon.hbmColor);
      }
      // Areas: relative to the area's top (and left) in the main window.
      const int dx = plan.source == CaptureSource::WholeWindow ? plan.dx : -origin.x;
      const int dy = plan.source == CaptureSource::WholeWindow ? plan.dy : -origin.y;
      DrawIconEx(memory, p.x + dx - hotX, p.y + dy - hotY, info.hCursor, 0, 0, 0, nullptr,
                 DI_NORMAL);
    }
  }
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(main, source);
  bool handed = false;
  if (OpenClipboard(main)) {
    EmptyClipboard();
    handed = SetClipboardData(CF_BITMAP, bitmap) != nullptr;
    CloseClipboard();
  }
  if (!handed) DeleteObject(bitmap);  // the clipboard owns it once handed
  return handed;
}

}  // namespace ov
