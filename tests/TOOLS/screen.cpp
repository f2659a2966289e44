#include "tests/TOOLS/screen.h"

#include "harness/wine.h"

namespace {

void SendMouse(DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
    PumpMessagesFor(40);
}

} // namespace

void MoveCursorTo(POINT screen) {
    SetCursorPos(screen.x, screen.y);
    // A move of nothing makes the input system send the mouse move that the
    // new position calls for, as a hand on the mouse would.
    SendMouse(MOUSEEVENTF_MOVE);
}

void PressLeftButton(bool down) {
    SendMouse(down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
}

int IconWidth(HICON icon) {
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info))
        return 0;
    BITMAP bitmap = {};
    GetObjectA(info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

ScreenPixels::ScreenPixels(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    width_ = r.right - r.left;
    height_ = r.bottom - r.top;
    pixels_.resize(static_cast<size_t>(width_) * height_);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void *bits = nullptr;
    HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, width_, height_, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    memcpy(pixels_.data(), bits, pixels_.size() * 4);
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

size_t ScreenPixels::Count(COLORREF color) const {
    DWORD rgb = RGB(GetBValue(color), GetGValue(color), GetRValue(color));
    size_t n = 0;
    for (DWORD p : pixels_)
        n += (p & 0xFFFFFF) == rgb;
    return n;
}

COLORREF ScreenPixels::At(int x, int y) const {
    DWORD p = pixels_[static_cast<size_t>(y) * width_ + x];
    return RGB(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF);
}
