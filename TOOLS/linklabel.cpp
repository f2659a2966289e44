#include "TOOLS/linklabel.h"

#include "TOOLS/toolwind.h"
#include "text/bounded.h"
#include "text/heap.h"

static_assert(sizeof(NMLINKLABEL) == 20, "the record the parent reads");

namespace {

const UINT_PTR kHoverTimer = 1;
const COLORREF kNormalColor = 0xFF0000;
const COLORREF kHoverColor = 0x0000FF;

// Rows 0 to 21 of the hand, {AND, XOR}, the leftmost pixels in the high
// byte. The rows below are transparent.
const DWORD kHandRows[][2] = {
    {0xFCFFFFFF, 0x00000000}, {0xF87FFFFF, 0x03000000}, {0xF87FFFFF, 0x03000000},
    {0xF87FFFFF, 0x03000000}, {0xF87FFFFF, 0x03000000}, {0xF81FFFFF, 0x03000000},
    {0xF803FFFF, 0x03600000}, {0xF800FFFF, 0x036C0000}, {0xF8007FFF, 0x036D0000},
    {0x88003FFF, 0x036D8000}, {0x80003FFF, 0x33FD8000}, {0x80003FFF, 0x3BFF8000},
    {0xC0003FFF, 0x1BFF8000}, {0xE0003FFF, 0x0BFF8000}, {0xE0003FFF, 0x0FFF8000},
    {0xF0003FFF, 0x07FF8000}, {0xF0007FFF, 0x07FF0000}, {0xF8007FFF, 0x03FF0000},
    {0xF8007FFF, 0x03FF0000}, {0xFC00FFFF, 0x01FE0000}, {0xFC00FFFF, 0x01FE0000},
    {0xFC00FFFF, 0x00000000},
};
const int kHandRowCount = sizeof kHandRows / sizeof kHandRows[0];

UINT_PTR ControlState(HWND window) {
    return reinterpret_cast<UINT_PTR>(GetPropA(window, LLPROP_CONTROLSTATE));
}

void SetControlState(HWND window, LinkLabelState state) {
    SetPropA(window, LLPROP_CONTROLSTATE, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(state)));
}

bool IsHovered(HWND window) {
    return (ControlState(window) & LLSTATE_HOVER) != 0;
}

HFONT WindowFont(HWND window) {
    return reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
}

LRESULT CallOriginalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC original = reinterpret_cast<WNDPROC>(GetPropA(window, LLPROP_ORIGINALPROC));
    return CallWindowProcA(original, window, message, wParam, lParam);
}

void GetClientCursorPos(HWND window, POINT *point) {
    GetCursorPos(point);
    ScreenToClient(window, point);
}

void InitNotifyHeader(NMLINKLABEL *record, HWND window, UINT code) {
    record->hdr.hwndFrom = window;
    record->hdr.idFrom = GetDlgCtrlID(window);
    record->hdr.code = code;
}

UINT GetNotifyCode(LPARAM record) {
    return reinterpret_cast<const NMHDR *>(record)->code;
}

void SendLinkNotify(HWND window, UINT code, WPARAM keys, LPARAM pos) {
    NMLINKLABEL record;
    ZeroFill(sizeof record, &record);
    InitNotifyHeader(&record, window, code);
    record.keys = static_cast<DWORD>(keys);
    record.pos = static_cast<DWORD>(pos);
    SendMessageA(GetParent(window), WM_NOTIFY, record.hdr.idFrom,
                 reinterpret_cast<LPARAM>(&record));
}

void SendLinkClick(HWND window) {
    SendLinkNotify(window, LLN_CLICK, 0, 0);
}

void SendLinkLeave(HWND window) {
    SendLinkNotify(window, LLN_LEAVE, 0, 0);
}

void SendLinkHover(HWND window, WPARAM wParam, LPARAM lParam) {
    SendLinkNotify(window, LLN_HOVER, wParam, lParam);
}

// The control never tracks the mouse otherwise: every move inside restarts
// this timer, and the first tick outside reports the leave.
void CALLBACK LinkLabelTimerProc(HWND window, UINT, UINT_PTR id, DWORD) {
    if (IsCursorInClient(window))
        return;
    KillTimer(window, id);
    SendLinkLeave(window);
}

// One line from the top-left corner, whatever the alignment style says;
// the static's own painting never runs.
void PaintLinkLabel(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (dc) {
        int saved = SaveDC(dc);
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        if (GetCapture() == window && IsHovered(window))
            FrameRect(dc, &client, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        char *text = DupWindowText(window);
        if (text) {
            SetTextColor(dc, IsHovered(window) ? kHoverColor : kNormalColor);
            HFONT font = WindowFont(window);
            if (font) {
                SelectObject(dc, font);
                SetBkMode(dc, TRANSPARENT);
                TextOutA(dc, 0, 0, text, lstrlenA(text));
            }
            MemFree(text);
        }
        RestoreDC(dc, saved);
    }
    EndPaint(window, &ps);
}

LRESULT DetachLinkLabel(HWND window, WPARAM wParam, LPARAM lParam) {
    WNDPROC previous = reinterpret_cast<WNDPROC>(GetPropA(window, LLPROP_ORIGINALPROC));
    SetWindowLongA(window, GWL_WNDPROC, reinterpret_cast<LONG>(previous));
    RemovePropA(window, LLPROP_ORIGINALPROC);
    RemovePropA(window, LLPROP_CONTROLSTATE);
    HFONT font = static_cast<HFONT>(RemovePropA(window, LLPROP_FONT));
    if (font)
        DeleteObject(font);
    HCURSOR cursor = static_cast<HCURSOR>(RemovePropA(window, LLPROP_CURSOR));
    if (cursor)
        DestroyCursor(cursor);
    return CallWindowProcA(previous, window, WM_DESTROY, wParam, lParam);
}

} // namespace

HFONT CreateUnderlinedFont(HWND window) {
    LOGFONTA font;
    if (!GetWindowLogFont(window, &font))
        return nullptr;
    font.lfUnderline = 1;
    return CreateFontIndirectA(&font);
}

HCURSOR CreateHandCursor(HINSTANCE instance) {
    BYTE andPlane[128];
    BYTE xorPlane[128];
    for (int row = 0; row < 32; ++row) {
        DWORD andBits = row < kHandRowCount ? kHandRows[row][0] : 0xFFFFFFFF;
        DWORD xorBits = row < kHandRowCount ? kHandRows[row][1] : 0;
        for (int k = 0; k < 4; ++k) {
            int shift = 24 - 8 * k;
            andPlane[row * 4 + k] = static_cast<BYTE>(andBits >> shift);
            xorPlane[row * 4 + k] = static_cast<BYTE>(xorBits >> shift);
        }
    }
    return CreateCursor(instance, 7, 0, 32, 32, andPlane, xorPlane);
}

bool IsCursorInClient(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    POINT point;
    GetClientCursorPos(window, &point);
    return PtInRect(&client, point) != FALSE;
}

bool AttachLinkLabel(HWND control) {
    HFONT font = CreateUnderlinedFont(control);
    if (!font)
        return false;
    HCURSOR cursor = CreateHandCursor(GetModuleHandleA(nullptr));
    if (!cursor) {
        DeleteObject(font);
        return false;
    }
    LONG previous = SetWindowLongA(control, GWL_WNDPROC, reinterpret_cast<LONG>(LinkLabelProc));
    SetPropA(control, LLPROP_ORIGINALPROC, reinterpret_cast<HANDLE>(previous));
    SetControlState(control, LLSTATE_NORMAL);
    SetPropA(control, LLPROP_CURSOR, cursor);
    SetPropA(control, LLPROP_FONT, font);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return true;
}

LRESULT CALLBACK LinkLabelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        PaintLinkLabel(window);
        return 0;
    case WM_SETCURSOR: {
        // TRUE even without a cursor, so the default cursor logic never runs.
        HCURSOR cursor = static_cast<HCURSOR>(GetPropA(window, LLPROP_CURSOR));
        if (cursor)
            SetCursor(cursor);
        return TRUE;
    }
    case WM_NCHITTEST:
        // A static without SS_NOTIFY is transparent to hit-testing and would
        // never see the mouse.
        if (IsCursorInClient(window))
            return HTCLIENT;
        break;
    case WM_MOUSEMOVE:
        if (IsCursorInClient(window)) {
            SetTimer(window, kHoverTimer, 0, LinkLabelTimerProc);
            SendLinkHover(window, wParam, lParam);
        }
        break;
    case WM_LBUTTONDOWN:
        SetCapture(window);
        InvalidateWindow(window);
        break;
    case WM_LBUTTONUP:
        if (GetCapture() == window) {
            ReleaseCapture();
            if (IsCursorInClient(window))
                SendLinkClick(window);
        }
        break;
    case WM_NOTIFY:
        // Only the code counts, whoever sent the record.
        switch (GetNotifyCode(lParam)) {
        case LLN_LEAVE:
            SetControlState(window, LLSTATE_NORMAL);
            InvalidateWindow(window);
            return 0;
        case LLN_HOVER:
            if (IsCursorInClient(window))
                SetControlState(window, LLSTATE_HOVER);
            InvalidateWindow(window);
            return 0;
        }
        break;
    case WM_DESTROY:
        return DetachLinkLabel(window, wParam, lParam);
    }
    return CallOriginalProc(window, message, wParam, lParam);
}
