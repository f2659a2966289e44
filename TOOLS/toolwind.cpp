#include "TOOLS/toolwind.h"

#include <shellapi.h>

#include "text/bounded.h"
#include "text/capacity.h"
#include "text/heap.h"
#include "text/trace.h"

namespace {

// The numbers are part of each line's fixed text, not lines of this file.
struct CheckLine {
    int line;
    const char *condition;
};
const CheckLine kNullWindow = {1499, "hWnd"};
const CheckLine kNotAWindow = {1500, "IsWindow( hWnd )"};
const CheckLine kBadDialog = {1246, "IsValidWindow( hwndDlg )"};
const CheckLine kBadItem = {1249, "IsValidWindow( hwndCtrl )"};

bool Fail(const CheckLine &check) {
    GetTraceSink()(TOOLWIND_CHECK_FORMAT, TOOLWIND_SOURCE_NAME, check.line, check.condition);
    return false;
}

RECT WindowRect(HWND window) {
    RECT rect = {0, 0, 0, 0};
    GetWindowRect(window, &rect);
    return rect;
}

// GetParent also answers with the owner of a top-level window, whose
// position stays on the screen.
void ScreenToParent(HWND window, POINT *point) {
    HWND parent = GetParent(window);
    if (parent && IsChild(parent, window))
        ScreenToClient(parent, point);
}

POINT PositionInParent(HWND window) {
    POINT point;
    GetWindowPosition(window, &point);
    ScreenToParent(window, &point);
    return point;
}

} // namespace

bool SetPoint(POINT *pair, LONG x, LONG y) {
    pair->x = x;
    pair->y = y;
    return true;
}

bool OffsetPoint(POINT *pair, LONG dx, LONG dy) {
    pair->x += dx;
    pair->y += dy;
    return true;
}

LONG RectWidth(const RECT *rect) {
    return rect->right - rect->left;
}

LONG RectHeight(const RECT *rect) {
    return rect->bottom - rect->top;
}

bool GetRectSize(const RECT *rect, SIZE *size) {
    size->cx = RectWidth(rect);
    size->cy = RectHeight(rect);
    return true;
}

bool GetWindowPosition(HWND window, POINT *point) {
    RECT rect = WindowRect(window);
    return SetPoint(point, rect.left, rect.top);
}

bool GetWindowSize(HWND window, SIZE *size) {
    RECT rect = WindowRect(window);
    return GetRectSize(&rect, size);
}

int GetWindowWidth(HWND window) {
    SIZE size;
    GetWindowSize(window, &size);
    return size.cx;
}

int GetWindowHeight(HWND window) {
    SIZE size;
    GetWindowSize(window, &size);
    return size.cy;
}

int GetWindowTop(HWND window) {
    POINT point;
    GetWindowPosition(window, &point);
    return point.y;
}

int GetWindowBottom(HWND window) {
    return GetWindowTop(window) + GetWindowHeight(window);
}

int GetDlgItemTop(HWND dialog, int id) {
    return GetWindowTop(GetDlgItem(dialog, id));
}

int GetDlgItemBottom(HWND dialog, int id) {
    return GetWindowBottom(GetDlgItem(dialog, id));
}

bool ScreenToWindow(HWND window, POINT *point) {
    POINT corner;
    GetWindowPosition(window, &corner);
    return OffsetPoint(point, -corner.x, -corner.y);
}

bool GetWorkArea(RECT *rect) {
    return SystemParametersInfoA(SPI_GETWORKAREA, 0, rect, 0) != FALSE;
}

bool GetDialogTemplateSize(HMODULE module, int id, SIZE *units) {
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), RT_DIALOG);
    HGLOBAL loaded = info ? LoadResource(module, info) : nullptr;
    const WORD *words = loaded ? static_cast<const WORD *>(LockResource(loaded)) : nullptr;
    if (!words || SizeofResource(module, info) < 13 * sizeof(WORD))
        return false;
    // DIALOGEX: version, 0xFFFF, help ID, extended style, style, count, x, y,
    // cx, cy. DIALOG: style, extended style, count, x, y, cx, cy.
    int at = words[1] == 0xFFFF ? 11 : 7;
    units->cx = static_cast<SHORT>(words[at]);
    units->cy = static_cast<SHORT>(words[at + 1]);
    return true;
}

int DialogUnitsToPixelsX(HWND dialog, int units) {
    RECT rect = {0, 0, units, 0};
    MapDialogRect(dialog, &rect);
    return rect.right;
}

bool SetWindowPosition(HWND window, int x, int y) {
    return SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOZORDER | SWP_NOSIZE) != FALSE;
}

bool SetWindowSize(HWND window, int cx, int cy) {
    return SetWindowPos(window, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOMOVE) != FALSE;
}

bool MoveWindowBy(HWND window, int dx, int dy) {
    POINT point = PositionInParent(window);
    return SetWindowPosition(window, point.x + dx, point.y + dy);
}

bool MoveDlgItemVertically(HWND dialog, int id, int dy) {
    return MoveWindowBy(GetDlgItem(dialog, id), 0, dy);
}

bool SizeWindowBy(HWND window, int dcx, int dcy) {
    SIZE size;
    GetWindowSize(window, &size);
    return SetWindowSize(window, size.cx + dcx, size.cy + dcy);
}

void DeferWindowBy(HDWP *batch, HWND window, int dx, int dy, int dcx, int dcy) {
    POINT point = PositionInParent(window);
    SIZE size;
    GetWindowSize(window, &size);
    *batch = DeferWindowPos(*batch, window, nullptr, point.x + dx, point.y + dy, size.cx + dcx,
                            size.cy + dcy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void DeferDlgItemBy(HDWP *batch, HWND dialog, int id, int dx, int dy, int dcx, int dcy) {
    DeferWindowBy(batch, GetDlgItem(dialog, id), dx, dy, dcx, dcy);
}

bool CenterWindowOnCursor(HWND window) {
    SIZE size;
    GetWindowSize(window, &size);
    POINT point = {0, 0};
    GetCursorPos(&point);
    OffsetPoint(&point, -(size.cx / 2), -(size.cy / 2));
    ScreenToParent(window, &point);
    SetWindowPosition(window, point.x, point.y);
    return KeepWindowInWorkArea(window);
}

bool KeepWindowInWorkArea(HWND window) {
    SIZE size;
    GetWindowSize(window, &size);
    POINT point;
    GetWindowPosition(window, &point);
    RECT work;
    if (GetWorkArea(&work)) {
        if (point.x + size.cx > work.right)
            point.x = work.right - size.cx;
        if (point.x < work.left)
            point.x = work.left;
        if (point.y + size.cy > work.bottom)
            point.y = work.bottom - size.cy;
        if (point.y < work.top)
            point.y = work.top;
    }
    ScreenToParent(window, &point);
    return SetWindowPosition(window, point.x, point.y);
}

bool SetWindowVisible(HWND window, bool show) {
    return ShowWindow(window, show ? SW_SHOWNA : SW_HIDE) != FALSE;
}

bool SetDlgItemVisible(HWND dialog, int id, bool show) {
    return SetWindowVisible(GetDlgItem(dialog, id), show);
}

bool EnableDlgItem(HWND dialog, int id, bool enable) {
    return EnableWindow(GetDlgItem(dialog, id), enable) != FALSE;
}

bool InvalidateWindow(HWND window) {
    return InvalidateRect(window, nullptr, FALSE) != FALSE;
}

HICON SetWindowIcon(HWND window, int which, HICON icon) {
    return reinterpret_cast<HICON>(
        SendMessageA(window, WM_SETICON, which, reinterpret_cast<LPARAM>(icon)));
}

char *DupWindowText(HWND window) {
    int length = GetWindowTextLengthA(window);
    char *text = static_cast<char *>(MemAlloc(length + 1));
    if (!text)
        return nullptr;
    // GetWindowTextA may write nothing for a window that has gone.
    text[0] = '\0';
    GetWindowTextA(window, text, length + 1);
    return text;
}

bool GetWindowLogFont(HWND window, LOGFONTA *font) {
    HFONT current = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    if (!current)
        return false;
    return GetObjectA(current, sizeof *font, font) == sizeof *font;
}

HICON GetFileIcon(const char *path, bool smallIcon) {
    SHFILEINFOA info;
    ZeroFill(sizeof info, &info);
    UINT flags = SHGFI_ICON | (smallIcon ? SHGFI_SMALLICON : SHGFI_LARGEICON);
    if (!SHGetFileInfoA(path, 0, &info, sizeof info, flags))
        return nullptr;
    return info.hIcon;
}

HICON GetModuleIcon(HMODULE module, bool smallIcon) {
    char path[kPathCapacity];
    if (!GetModuleFileNameA(module, path, sizeof path))
        return nullptr;
    return GetFileIcon(path, smallIcon);
}

bool IsValidWindow(HWND hWnd) {
    if (!hWnd)
        return Fail(kNullWindow);
    if (!IsWindow(hWnd))
        return Fail(kNotAWindow);
    return true;
}

bool IsValidDlgItem(HWND hwndDlg, int id) {
    if (!IsValidWindow(hwndDlg))
        return Fail(kBadDialog);
    if (!IsValidWindow(GetDlgItem(hwndDlg, id)))
        return Fail(kBadItem);
    return true;
}
