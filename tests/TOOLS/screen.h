// Real input and the pixels on the screen, for tests of painted controls.
#pragma once
#include <windows.h>
#include <vector>

// Moves the cursor the way the user would and lets the messages arrive.
void MoveCursorTo(POINT screen);
void PressLeftButton(bool down);

// The width of an icon's mask, 0 for no icon.
int IconWidth(HICON icon);

// The window's rectangle as the screen shows it.
class ScreenPixels {
  public:
    explicit ScreenPixels(HWND window);
    size_t Count(COLORREF color) const;
    COLORREF At(int x, int y) const;

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<DWORD> pixels_; // 0x00RRGGBB, top row first
};
