// Small window operations, so that dialog code speaks in positions, sizes
// and deltas. Every position and size comes from the window rectangle
// (screen coordinates, frame included), never from the client rectangle.
#pragma once
#include <windows.h>

// The source name and format of the validation lines in the trace.
#define TOOLWIND_SOURCE_NAME "..\\..\\TOOLS\\toolwind"
#define TOOLWIND_CHECK_FORMAT "%s(%d) : %s \r\n"

// Pairs and rectangles.
bool SetPoint(POINT *pair, LONG x, LONG y);
bool OffsetPoint(POINT *pair, LONG dx, LONG dy);
LONG RectWidth(const RECT *rect);
LONG RectHeight(const RECT *rect);
bool GetRectSize(const RECT *rect, SIZE *size);

// Readers. They report success whatever the handle; a handle that is not a
// window reads as a zero rectangle.
bool GetWindowPosition(HWND window, POINT *point);
bool GetWindowSize(HWND window, SIZE *size);
int GetWindowWidth(HWND window);
int GetWindowHeight(HWND window);
int GetWindowTop(HWND window);
int GetWindowBottom(HWND window);
int GetDlgItemTop(HWND dialog, int id);
int GetDlgItemBottom(HWND dialog, int id);
// Turns a screen point into one relative to the window's outer corner.
bool ScreenToWindow(HWND window, POINT *point);
bool GetWorkArea(RECT *rect);
// The client size in dialog units that a DIALOG or DIALOGEX resource gives;
// false when the module lacks it.
bool GetDialogTemplateSize(HMODULE module, int id, SIZE *units);
// Horizontal dialog units in pixels, as the dialog's font maps them.
int DialogUnitsToPixelsX(HWND dialog, int units);

// Absolute changes. The position is in the parent's client coordinates for
// a child and in screen coordinates otherwise, as SetWindowPos takes it.
bool SetWindowPosition(HWND window, int x, int y);
bool SetWindowSize(HWND window, int cx, int cy);

// Changes by a delta. A child moves within its parent's client area; a
// top-level window, owned or not, moves on the screen.
bool MoveWindowBy(HWND window, int dx, int dy);
bool MoveDlgItemVertically(HWND dialog, int id, int dy);
// Keeps the top-left corner.
bool SizeWindowBy(HWND window, int dcx, int dcy);

// Adds a move-and-resize to a batch from BeginDeferWindowPos. The handle
// that DeferWindowPos returns replaces *batch even when it is null, so a
// batch that failed once stays failed and the caller abandons it.
void DeferWindowBy(HDWP *batch, HWND window, int dx, int dy, int dcx, int dcy);
void DeferDlgItemBy(HDWP *batch, HWND dialog, int id, int dx, int dy, int dcx, int dcy);

// Centres the window on the mouse cursor, then pulls it back inside the
// work area: right before left and bottom before top, so a window larger
// than the work area sits at its left and top edges.
bool CenterWindowOnCursor(HWND window);
// Moves the window back inside the work area by the same rules, only as
// far as it lies outside.
bool KeepWindowInWorkArea(HWND window);

// Showing never activates. The result is ShowWindow's: whether the window
// was visible before.
bool SetWindowVisible(HWND window, bool show);
bool SetDlgItemVisible(HWND dialog, int id, bool show);
// The result is EnableWindow's: whether the item was disabled before.
bool EnableDlgItem(HWND dialog, int id, bool enable);
// The whole client area, without erasing the background.
bool InvalidateWindow(HWND window);
// which is ICON_BIG or ICON_SMALL; returns the icon it replaces.
HICON SetWindowIcon(HWND window, int which, HICON icon);

// A heap copy of the window's text ("" for none), null when memory runs
// out; released with MemFree.
char *DupWindowText(HWND window);
// False, with *font untouched, when the window has no font of its own.
bool GetWindowLogFont(HWND window, LOGFONTA *font);
// The shell's icon for a file, or null. The caller destroys it.
HICON GetFileIcon(const char *path, bool smallIcon);
// The icon of the module's own file, or null. The caller destroys it.
HICON GetModuleIcon(HMODULE module, bool smallIcon);

// Each failed check writes one line to the trace; a failed IsValidDlgItem
// writes IsValidWindow's line first, then its own.
bool IsValidWindow(HWND hWnd);
bool IsValidDlgItem(HWND hwndDlg, int id);
