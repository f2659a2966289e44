#include "TOOLS/toolwind.h"

#include "harness/wine.h"
#include "tests/TOOLS/screen.h"
#include "text/heap.h"
#include "text/trace.h"

#include <gtest/gtest.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

const char kFrameClass[] = "ToolsTestFrame";

// What the frame's procedure saw, for the painting test.
struct PaintLog {
    int paints = 0;
    int erases = 0;
    RECT painted = {0, 0, 0, 0};
};
PaintLog g_paint;

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ERASEBKGND:
        ++g_paint.erases;
        break;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        ++g_paint.paints;
        g_paint.painted = ps.rcPaint;
        EndPaint(hwnd, &ps);
        return 0;
    }
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void RegisterFrameClass() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFrameClass;
    RegisterClassA(&wc);
}

// Destroys its window on every path out of a test.
struct Window {
    HWND hwnd = nullptr;
    explicit Window(HWND h) : hwnd(h) {}
    ~Window() {
        if (hwnd && IsWindow(hwnd))
            DestroyWindow(hwnd);
    }
    Window(const Window &) = delete;
    Window &operator=(const Window &) = delete;
    operator HWND() const { return hwnd; }
};

// A framed top-level window, so that client and window origins differ.
HWND MakeFrame(int x, int y, int cx, int cy, HWND owner = nullptr,
               DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE) {
    RegisterFrameClass();
    return CreateWindowExA(0, kFrameClass, "frame", style, x, y, cx, cy, owner, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

HWND MakeChild(HWND parent, int id, int x, int y, int cx, int cy, const char *cls = "STATIC",
               DWORD style = WS_VISIBLE) {
    return CreateWindowExA(0, cls, "", WS_CHILD | style, x, y, cx, cy, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

RECT ScreenRect(HWND hwnd) {
    RECT r = {0, 0, 0, 0};
    GetWindowRect(hwnd, &r);
    return r;
}

// The window rectangle in its parent's client coordinates.
RECT RectInParent(HWND hwnd) {
    RECT r = ScreenRect(hwnd);
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT *>(&r), 2);
    return r;
}

testing::AssertionResult RectIs(const RECT &actual, LONG left, LONG top, LONG cx, LONG cy) {
    if (actual.left == left && actual.top == top && actual.right - actual.left == cx &&
        actual.bottom - actual.top == cy)
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "expected (" << left << ", " << top << ") " << cx << " x " << cy << ", got ("
           << actual.left << ", " << actual.top << ") " << actual.right - actual.left << " x "
           << actual.bottom - actual.top;
}

// A framed window at (100, 80), 300 x 200, with item 10 at (10, 20),
// 50 x 30 in its client area.
class Framed : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(frame.hwnd);
        ASSERT_TRUE(child);
    }
    Window frame{MakeFrame(100, 80, 300, 200)};
    HWND child = MakeChild(frame, 10, 10, 20, 50, 30);
};

TEST_F(Framed, ReadersTakeTheWindowRectangle) {
    RECT childRect = ScreenRect(child);
    ASSERT_TRUE(RectIs(ScreenRect(frame), 100, 80, 300, 200));

    POINT p = {-1, -1};
    EXPECT_TRUE(GetWindowPosition(frame, &p));
    EXPECT_EQ(100, p.x);
    EXPECT_EQ(80, p.y);
    SIZE s = {-1, -1};
    EXPECT_TRUE(GetWindowSize(frame, &s));
    EXPECT_EQ(300, s.cx);
    EXPECT_EQ(200, s.cy);
    EXPECT_EQ(300, GetWindowWidth(frame));
    EXPECT_EQ(200, GetWindowHeight(frame));
    EXPECT_EQ(80, GetWindowTop(frame));
    EXPECT_EQ(280, GetWindowBottom(frame));
    // Screen coordinates, not the 20 and 50 of the client area.
    EXPECT_EQ(childRect.top, GetDlgItemTop(frame, 10));
    EXPECT_EQ(childRect.bottom, GetDlgItemBottom(frame, 10));
    EXPECT_GT(GetDlgItemTop(frame, 10), 100);

    POINT q = {150, 90};
    EXPECT_TRUE(ScreenToWindow(frame, &q));
    EXPECT_EQ(50, q.x);
    EXPECT_EQ(10, q.y);

    // A handle that is no window reads as a zero rectangle.
    HWND gone = MakeChild(frame, 11, 1, 2, 3, 4);
    DestroyWindow(gone);
    p = {-1, -1};
    s = {-1, -1};
    EXPECT_TRUE(GetWindowPosition(gone, &p));
    EXPECT_TRUE(GetWindowSize(gone, &s));
    EXPECT_EQ(0, p.x);
    EXPECT_EQ(0, p.y);
    EXPECT_EQ(0, s.cx);
    EXPECT_EQ(0, s.cy);
    EXPECT_EQ(0, GetDlgItemBottom(frame, 11));
}

TEST_F(Framed, MovesStayInTheParentsCoordinates) {
    // A child moves within the client area, whose origin is not the frame's.
    EXPECT_TRUE(MoveWindowBy(child, 5, 7));
    EXPECT_TRUE(RectIs(RectInParent(child), 15, 27, 50, 30));
    EXPECT_TRUE(MoveWindowBy(child, -15, -2));
    EXPECT_TRUE(RectIs(RectInParent(child), 0, 25, 50, 30));

    EXPECT_TRUE(MoveDlgItemVertically(frame, 10, 0));
    EXPECT_TRUE(RectIs(RectInParent(child), 0, 25, 50, 30));
    EXPECT_TRUE(MoveDlgItemVertically(frame, 10, -4));
    EXPECT_TRUE(RectIs(RectInParent(child), 0, 21, 50, 30));

    // GetParent names the owner of a popup, yet the popup lives on the screen.
    Window popup(MakeFrame(400, 300, 120, 90, frame, WS_POPUP | WS_CAPTION | WS_VISIBLE));
    ASSERT_TRUE(popup.hwnd);
    ASSERT_EQ(frame.hwnd, GetParent(popup));
    EXPECT_TRUE(MoveWindowBy(popup, 5, 7));
    EXPECT_TRUE(RectIs(ScreenRect(popup), 405, 307, 120, 90));

    EXPECT_TRUE(SetWindowPosition(popup, 10, 12));
    EXPECT_TRUE(RectIs(ScreenRect(popup), 10, 12, 120, 90));
    EXPECT_TRUE(SetWindowSize(popup, 130, 95));
    EXPECT_TRUE(RectIs(ScreenRect(popup), 10, 12, 130, 95));
}

TEST_F(Framed, SizeWindowByKeepsTheTopLeftCorner) {

    EXPECT_TRUE(SizeWindowBy(child, -20, -10));
    EXPECT_TRUE(RectIs(RectInParent(child), 10, 20, 30, 20));
    EXPECT_TRUE(SizeWindowBy(child, 6, 0));
    EXPECT_TRUE(RectIs(RectInParent(child), 10, 20, 36, 20));

    EXPECT_TRUE(SizeWindowBy(frame, -40, -25));
    EXPECT_TRUE(RectIs(ScreenRect(frame), 100, 80, 260, 175));
}

TEST_F(Framed, DeferredEntriesApplyTogether) {
    HWND second = MakeChild(frame, 11, 100, 60, 40, 40);
    ASSERT_TRUE(second);

    HDWP batch = BeginDeferWindowPos(2);
    ASSERT_TRUE(batch);
    DeferDlgItemBy(&batch, frame, 10, 5, 6, 7, 8);
    ASSERT_TRUE(batch);
    DeferWindowBy(&batch, second, -3, 0, 0, -2);
    ASSERT_TRUE(batch);
    // Nothing moves before the batch ends.
    EXPECT_TRUE(RectIs(RectInParent(child), 10, 20, 50, 30));
    EXPECT_TRUE(RectIs(RectInParent(second), 100, 60, 40, 40));
    EXPECT_TRUE(EndDeferWindowPos(batch));
    EXPECT_TRUE(RectIs(RectInParent(child), 15, 26, 57, 38));
    EXPECT_TRUE(RectIs(RectInParent(second), 97, 60, 40, 38));
}

TEST_F(Framed, AFailedBatchStaysFailed) {

    HDWP batch = nullptr;
    DeferWindowBy(&batch, child, 5, 5, 0, 0);
    EXPECT_FALSE(batch);

    batch = BeginDeferWindowPos(3);
    ASSERT_TRUE(batch);
    DeferWindowBy(&batch, child, 5, 5, 0, 0);
    ASSERT_TRUE(batch);
    // The desktop window cannot be deferred: the platform answers null.
    DeferWindowBy(&batch, GetDesktopWindow(), 1, 1, 0, 0);
    EXPECT_FALSE(batch);
    DeferWindowBy(&batch, child, 5, 5, 0, 0);
    EXPECT_FALSE(batch);
    EXPECT_TRUE(RectIs(RectInParent(child), 10, 20, 50, 30));
}

struct CenterCase {
    const char *what;
    int cursorX, cursorY; // from the work area's left and top; negative: from right and bottom
    int cx, cy;           // 0: the work area's size plus 100
    int left, top;        // expected, the same way
};

LONG FromEdges(LONG value, LONG low, LONG high) {
    return value >= 0 ? low + value : high + value;
}

TEST(CenterWindowOnCursor, StaysInsideTheWorkArea) {
    RECT work;
    ASSERT_TRUE(GetWorkArea(&work));
    ASSERT_GT(RectWidth(&work), 600);
    ASSERT_GT(RectHeight(&work), 500);
    const LONG bigX = RectWidth(&work) + 100, bigY = RectHeight(&work) + 100;
    const CenterCase cases[] = {
        {"away from the edges", 400, 300, 200, 100, 300, 250},
        {"odd size: the left edge (w - 1) / 2 left", 400, 300, 201, 101, 300, 250},
        {"near the right edge", -10, 300, 200, 100, -200, 250},
        {"near the bottom edge", 400, -3, 200, 100, 300, -100},
        {"near the left and top edges", 5, 5, 200, 100, 0, 0},
        {"larger than the work area", 300, 200, 0, 0, 0, 0},
    };
    for (const CenterCase &c : cases) {
        SCOPED_TRACE(c.what);
        LONG cx = c.cx ? c.cx : bigX, cy = c.cy ? c.cy : bigY;
        // A plain popup: the platform limits only framed windows to the screen.
        Window popup(MakeFrame(0, 0, cx, cy, nullptr, WS_POPUP | WS_BORDER | WS_VISIBLE));
        ASSERT_TRUE(popup.hwnd);
        ASSERT_TRUE(RectIs(ScreenRect(popup), 0, 0, cx, cy));
        LONG x = FromEdges(c.cursorX, work.left, work.right);
        LONG y = FromEdges(c.cursorY, work.top, work.bottom);
        ASSERT_TRUE(SetCursorPos(x, y));
        POINT cursor;
        ASSERT_TRUE(GetCursorPos(&cursor));
        ASSERT_EQ(x, cursor.x);
        ASSERT_EQ(y, cursor.y);

        EXPECT_TRUE(CenterWindowOnCursor(popup));
        EXPECT_TRUE(RectIs(ScreenRect(popup), FromEdges(c.left, work.left, work.right),
                           FromEdges(c.top, work.top, work.bottom), cx, cy));
    }
}

TEST_F(Framed, CenterWindowOnCursorPlacesAChildInItsParent) {
    ASSERT_TRUE(SetCursorPos(300, 250));
    EXPECT_TRUE(CenterWindowOnCursor(child));
    EXPECT_TRUE(RectIs(ScreenRect(child), 275, 235, 50, 30));
}

TEST_F(Framed, ShowingNeverActivates) {
    HWND focused = MakeChild(frame, 20, 10, 60, 80, 24, "BUTTON", WS_VISIBLE | WS_TABSTOP);
    HWND hidden = MakeChild(frame, 21, 10, 90, 80, 24, "BUTTON", WS_TABSTOP);
    ASSERT_TRUE(focused && hidden);
    SetActiveWindow(frame);
    SetFocus(focused);
    Pump();
    ASSERT_EQ(frame.hwnd, GetActiveWindow());
    ASSERT_EQ(focused, GetFocus());

    EXPECT_FALSE(SetDlgItemVisible(frame, 21, true)) << "it was hidden before";
    EXPECT_TRUE(IsWindowVisible(hidden));
    EXPECT_EQ(focused, GetFocus());
    EXPECT_TRUE(SetDlgItemVisible(frame, 21, false)) << "it was visible before";
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_EQ(focused, GetFocus());

    // A top-level window shown through the helper stays inactive, where a
    // plain SW_SHOW would activate it; the second popup proves the latter,
    // so the first check means something.
    Window quiet(MakeFrame(450, 80, 100, 80, frame, WS_POPUP | WS_CAPTION));
    Window loud(MakeFrame(450, 200, 100, 80, frame, WS_POPUP | WS_CAPTION));
    ASSERT_TRUE(quiet.hwnd && loud.hwnd);
    EXPECT_FALSE(SetWindowVisible(quiet, true));
    Pump();
    EXPECT_TRUE(IsWindowVisible(quiet));
    EXPECT_EQ(frame.hwnd, GetActiveWindow());
    EXPECT_EQ(focused, GetFocus());
    ShowWindow(loud, SW_SHOW);
    Pump();
    EXPECT_EQ(loud.hwnd, GetActiveWindow());
}

TEST_F(Framed, InvalidateWindowCoversTheClientWithoutErasing) {
    UpdateWindow(frame);
    Pump();
    g_paint = PaintLog();

    EXPECT_TRUE(InvalidateWindow(frame));
    UpdateWindow(frame);
    RECT client;
    GetClientRect(frame, &client);
    EXPECT_EQ(1, g_paint.paints);
    EXPECT_EQ(0, g_paint.erases);
    EXPECT_TRUE(RectIs(g_paint.painted, 0, 0, client.right, client.bottom));
}

TEST(Icons, LargeAndSmallFromTheShell) {
    const struct {
        bool smallIcon;
        int metric;
    } sizes[] = {{false, SM_CXICON}, {true, SM_CXSMICON}};
    for (const auto &size : sizes) {
        SCOPED_TRACE(size.smallIcon ? "small" : "large");
        HICON icon = GetModuleIcon(nullptr, size.smallIcon);
        ASSERT_TRUE(icon);
        EXPECT_EQ(GetSystemMetrics(size.metric), IconWidth(icon));
        DestroyIcon(icon);
    }

    char missing[MAX_PATH];
    GetTempPathA(sizeof missing, missing);
    lstrcatA(missing, "tools-no-such-file.exe");
    EXPECT_EQ(nullptr, GetFileIcon(missing, false));
    // No module has this handle, so no file name and no icon.
    EXPECT_EQ(nullptr, GetModuleIcon(reinterpret_cast<HMODULE>(0x10), false));
}

TEST_F(Framed, DupWindowTextCopiesTheText) {
    const char *texts[] = {"", "abc", "詳細 >>", "表示", "ソ"};
    for (const char *text : texts) {
        SCOPED_TRACE(text);
        SetWindowTextA(child, text);
        char *copy = DupWindowText(child);
        ASSERT_NE(nullptr, copy);
        EXPECT_STREQ(text, copy);
        MemFree(copy);
    }
}

TEST_F(Framed, GetWindowLogFontNeedsAFont) {
    ASSERT_EQ(0, SendMessageA(child, WM_GETFONT, 0, 0));

    LOGFONTA font, pattern;
    memset(&pattern, 0xAB, sizeof pattern);
    font = pattern;
    EXPECT_FALSE(GetWindowLogFont(child, &font));
    EXPECT_EQ(0, memcmp(&font, &pattern, sizeof font)) << "the output was touched";

    HFONT made = CreateFontA(-13, 0, 0, 0, FW_BOLD, FALSE, TRUE, FALSE, SHIFTJIS_CHARSET, 0, 0, 0,
                             0, "ＭＳ Ｐゴシック");
    ASSERT_TRUE(made);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(made), FALSE);
    EXPECT_TRUE(GetWindowLogFont(child, &font));
    EXPECT_EQ(-13, font.lfHeight);
    EXPECT_EQ(FW_BOLD, font.lfWeight);
    EXPECT_TRUE(font.lfUnderline);
    EXPECT_STREQ("ＭＳ Ｐゴシック", font.lfFaceName);
    DestroyWindow(child);
    DeleteObject(made);
}

std::vector<std::string> g_lines;

int CaptureSink(const char *format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    int r = vsnprintf(line, sizeof line, format, args);
    va_end(args);
    g_lines.push_back(line);
    return r;
}

// Sends the trace to g_lines while it lives.
struct TraceCapture {
    TraceSinkFn saved = TraceSink;
    TraceCapture() {
        g_lines.clear();
        TraceSink = CaptureSink;
    }
    ~TraceCapture() { TraceSink = saved; }
};

#define LINE_1499 "..\\..\\TOOLS\\toolwind(1499) : hWnd \r\n"
#define LINE_1500 "..\\..\\TOOLS\\toolwind(1500) : IsWindow( hWnd ) \r\n"
#define LINE_1246 "..\\..\\TOOLS\\toolwind(1246) : IsValidWindow( hwndDlg ) \r\n"
#define LINE_1249 "..\\..\\TOOLS\\toolwind(1249) : IsValidWindow( hwndCtrl ) \r\n"

TEST_F(Framed, FailedChecksWriteTheirLines) {
    HWND gone = MakeFrame(100, 80, 300, 200);
    ASSERT_TRUE(gone);
    DestroyWindow(gone);

    enum Check { kWindow, kDlgItem };
    const struct {
        const char *what;
        Check check;
        HWND hwnd;
        int id;
        bool valid;
        std::vector<std::string> lines;
    } cases[] = {
        {"a window", kWindow, frame, 0, true, {}},
        {"a null handle", kWindow, nullptr, 0, false, {LINE_1499}},
        {"a destroyed window", kWindow, gone, 0, false, {LINE_1500}},
        {"an item", kDlgItem, frame, 10, true, {}},
        {"an id the dialog lacks", kDlgItem, frame, 99, false, {LINE_1499, LINE_1249}},
        {"a null dialog", kDlgItem, nullptr, 10, false, {LINE_1499, LINE_1246}},
        {"a destroyed dialog", kDlgItem, gone, 10, false, {LINE_1500, LINE_1246}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TraceCapture capture;
        bool valid = c.check == kWindow ? IsValidWindow(c.hwnd) : IsValidDlgItem(c.hwnd, c.id);
        EXPECT_EQ(c.valid, valid);
        EXPECT_EQ(c.lines, g_lines);
    }
}

} // namespace
