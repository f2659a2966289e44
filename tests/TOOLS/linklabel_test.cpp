#include "TOOLS/linklabel.h"

#include "harness/wine.h"
#include "tests/TOOLS/screen.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <stddef.h>
#include <string.h>
#include <vector>

namespace {

const int kLinkId = 7;

// What the host saw of each notification.
struct Notice {
    WPARAM wParam;
    NMLINKLABEL record;
};
std::vector<Notice> g_notices;
bool g_echo; // whether the host sends hover and leave back, as the about box does

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_NOTIFY)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    NMLINKLABEL *record = reinterpret_cast<NMLINKLABEL *>(lParam);
    g_notices.push_back({wParam, *record});
    if (g_echo && record->hdr.code != LLN_CLICK)
        SendMessageA(record->hdr.hwndFrom, WM_NOTIFY, wParam, lParam);
    return 0;
}

std::vector<UINT> Codes() {
    std::vector<UINT> codes;
    for (const Notice &n : g_notices)
        codes.push_back(n.record.hdr.code);
    return codes;
}

size_t CountOf(UINT code) {
    size_t n = 0;
    for (const Notice &notice : g_notices)
        n += notice.record.hdr.code == code;
    return n;
}

BOOL CALLBACK CollectProp(HWND, LPSTR name, HANDLE, ULONG_PTR names) {
    if (HIWORD(reinterpret_cast<UINT_PTR>(name)))
        reinterpret_cast<std::vector<std::string> *>(names)->push_back(name);
    return TRUE;
}

std::vector<std::string> PropNames(HWND hwnd) {
    std::vector<std::string> names;
    EnumPropsExA(hwnd, CollectProp, reinterpret_cast<LPARAM>(&names));
    return names;
}

// The static's own procedure under the label. It looks at the control when
// WM_DESTROY reaches it, which is after the label has let go.
WNDPROC g_staticProc;
struct Teardown {
    bool seen = false;
    LONG procAtDestroy = 0;
    std::vector<std::string> props;
} g_teardown;

LRESULT CALLBACK UnderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        g_teardown.seen = true;
        g_teardown.procAtDestroy = GetWindowLongA(hwnd, GWL_WNDPROC);
        g_teardown.props = PropNames(hwnd);
    }
    return CallWindowProcA(g_staticProc, hwnd, msg, wParam, lParam);
}

// A host popup at (100, 100) holding an attached label at (10, 10) in its
// client area, and the cursor parked far from both.
class LinkLabel : public testing::Test {
  protected:
    void SetUp() override {
        g_notices.clear();
        g_echo = true;
        WNDCLASSA wc = {};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = "LinkLabelHost";
        RegisterClassA(&wc);
        host = CreateWindowExA(0, "LinkLabelHost", "", WS_POPUP | WS_VISIBLE, 100, 100, 400, 80,
                               nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_TRUE(host);
        link =
            CreateWindowExA(0, "STATIC", "https://tessaro.jp/", WS_CHILD | WS_VISIBLE, 10, 10, 300,
                            30, host, reinterpret_cast<HMENU>(kLinkId), wc.hInstance, nullptr);
        ASSERT_TRUE(link);
        font = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                           "ＭＳ Ｐゴシック");
        SendMessageA(link, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SetCursorPos(1200, 850);
        PumpMessagesFor(30);
    }
    void TearDown() override {
        if (host)
            DestroyWindow(host);
        DeleteObject(font);
    }
    void Attach() {
        ASSERT_TRUE(AttachLinkLabel(link));
        UpdateWindow(host);
        PumpMessagesFor(30);
    }
    // A real move of the cursor to a point in the label's client area.
    void MoveTo(int x, int y, HWND window = nullptr) {
        POINT p = {x, y};
        ClientToScreen(window ? window : link, &p);
        MoveCursorTo(p);
    }
    UINT_PTR State() { return reinterpret_cast<UINT_PTR>(GetPropA(link, LLPROP_CONTROLSTATE)); }

    HWND host = nullptr;
    HWND link = nullptr;
    HFONT font = nullptr;
};

TEST_F(LinkLabel, CursorPlanesAreTheHand) {
    // Rows 0 to 21, AND then XOR, as stored; the rest are transparent.
    static const char *const rows[22][2] = {
        {"FCFFFFFF", "00000000"}, {"F87FFFFF", "03000000"}, {"F87FFFFF", "03000000"},
        {"F87FFFFF", "03000000"}, {"F87FFFFF", "03000000"}, {"F81FFFFF", "03000000"},
        {"F803FFFF", "03600000"}, {"F800FFFF", "036C0000"}, {"F8007FFF", "036D0000"},
        {"88003FFF", "036D8000"}, {"80003FFF", "33FD8000"}, {"80003FFF", "3BFF8000"},
        {"C0003FFF", "1BFF8000"}, {"E0003FFF", "0BFF8000"}, {"E0003FFF", "0FFF8000"},
        {"F0003FFF", "07FF8000"}, {"F0007FFF", "07FF0000"}, {"F8007FFF", "03FF0000"},
        {"F8007FFF", "03FF0000"}, {"FC00FFFF", "01FE0000"}, {"FC00FFFF", "01FE0000"},
        {"FC00FFFF", "00000000"}};
    HCURSOR cursor = CreateHandCursor(GetModuleHandleA(nullptr));
    ASSERT_TRUE(cursor);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(7u, info.xHotspot);
    EXPECT_EQ(0u, info.yHotspot);
    EXPECT_EQ(nullptr, info.hbmColor) << "monochrome: both planes in the mask";
    BITMAP bm = {};
    GetObjectA(info.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(32, bm.bmWidth);
    ASSERT_EQ(64, bm.bmHeight);
    unsigned char bits[256] = {};
    ASSERT_EQ(256, GetBitmapBits(info.hbmMask, sizeof bits, bits));
    for (int plane = 0; plane < 2; ++plane) {
        for (int row = 0; row < 32; ++row) {
            char hex[9];
            const unsigned char *b = bits + plane * 128 + row * 4;
            snprintf(hex, sizeof hex, "%02X%02X%02X%02X", b[0], b[1], b[2], b[3]);
            const char *expected = row < 22 ? rows[row][plane] : plane ? "00000000" : "FFFFFFFF";
            EXPECT_STREQ(expected, hex) << (plane ? "XOR" : "AND") << " row " << row;
        }
    }
    DeleteObject(info.hbmMask);
    DestroyCursor(cursor);
}

TEST_F(LinkLabel, AttachSetsFontAndPropertiesAndDestroyUndoesThem) {
    g_staticProc = reinterpret_cast<WNDPROC>(
        SetWindowLongA(link, GWL_WNDPROC, reinterpret_cast<LONG>(UnderProc)));
    g_teardown = Teardown();
    Attach();
    EXPECT_EQ(reinterpret_cast<LONG>(LinkLabelProc), GetWindowLongA(link, GWL_WNDPROC));
    EXPECT_EQ(reinterpret_cast<HANDLE>(UnderProc), GetPropA(link, LLPROP_ORIGINALPROC));
    EXPECT_EQ(0u, State());
    std::vector<std::string> props = PropNames(link);
    for (const char *name : {LLPROP_ORIGINALPROC, LLPROP_CONTROLSTATE, LLPROP_CURSOR, LLPROP_FONT})
        EXPECT_EQ(1, std::count(props.begin(), props.end(), name)) << name;

    HFONT underlined = reinterpret_cast<HFONT>(SendMessageA(link, WM_GETFONT, 0, 0));
    EXPECT_EQ(GetPropA(link, LLPROP_FONT), underlined);
    ASSERT_NE(font, underlined);
    LOGFONTA before, after;
    ASSERT_EQ(int(sizeof before), GetObjectA(font, sizeof before, &before));
    ASSERT_EQ(int(sizeof after), GetObjectA(underlined, sizeof after, &after));
    EXPECT_EQ(1, after.lfUnderline);
    before.lfUnderline = 1;
    // The face name is compared as text: the bytes after its end are not
    // part of the font.
    EXPECT_EQ(0, memcmp(&before, &after, offsetof(LOGFONTA, lfFaceName)))
        << "otherwise the control's own font";
    EXPECT_STREQ(before.lfFaceName, after.lfFaceName);
    HANDLE cursor = GetPropA(link, LLPROP_CURSOR);
    ASSERT_TRUE(cursor);

    DestroyWindow(link);
    ASSERT_TRUE(g_teardown.seen);
    EXPECT_EQ(reinterpret_cast<LONG>(UnderProc), g_teardown.procAtDestroy);
    EXPECT_EQ(std::vector<std::string>(), g_teardown.props);
    EXPECT_EQ(0u, GetObjectType(underlined)) << "the label's font is deleted";
    ICONINFO info;
    EXPECT_FALSE(GetIconInfo(static_cast<HCURSOR>(cursor), &info)) << "and its cursor destroyed";
}

TEST_F(LinkLabel, AttachWithoutFontChangesNothing) {
    HWND bare = CreateWindowExA(0, "STATIC", "x", WS_CHILD | WS_VISIBLE, 10, 45, 50, 20, host,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    LONG proc = GetWindowLongA(bare, GWL_WNDPROC);
    EXPECT_FALSE(AttachLinkLabel(bare));
    EXPECT_EQ(proc, GetWindowLongA(bare, GWL_WNDPROC));
    EXPECT_EQ(std::vector<std::string>(), PropNames(bare));
    EXPECT_EQ(0, SendMessageA(bare, WM_GETFONT, 0, 0));
}

TEST_F(LinkLabel, HoverOnEveryMoveAndLeaveAfterwards) {
    Attach();
    const POINT moves[] = {{5, 5}, {40, 12}, {41, 12}, {200, 25}};
    for (const POINT &p : moves) {
        SCOPED_TRACE(testing::Message() << "move to " << p.x << ", " << p.y);
        g_notices.clear();
        MoveTo(p.x, p.y);
        ASSERT_EQ(std::vector<UINT>{LLN_HOVER}, Codes());
        const NMLINKLABEL &r = g_notices[0].record;
        EXPECT_EQ(WPARAM(kLinkId), g_notices[0].wParam);
        EXPECT_EQ(link, r.hdr.hwndFrom);
        EXPECT_EQ(UINT_PTR(kLinkId), r.hdr.idFrom);
        EXPECT_EQ(0u, r.keys);
        EXPECT_EQ(DWORD(MAKELONG(p.x, p.y)), r.pos);
        EXPECT_EQ(GetPropA(link, LLPROP_CURSOR), GetCursor());
    }
    g_notices.clear();
    MoveTo(5, 50);
    PumpMessagesFor(100);
    ASSERT_EQ(std::vector<UINT>{LLN_LEAVE}, Codes()) << "one leave, from the timer";
    EXPECT_EQ(0u, g_notices[0].record.keys);
    EXPECT_EQ(0u, g_notices[0].record.pos);
    g_notices.clear();
    PumpMessagesFor(100);
    EXPECT_EQ(std::vector<UINT>(), Codes()) << "the timer stopped";
}

TEST_F(LinkLabel, ClickNeedsPressAndReleaseOverTheControl) {
    Attach();
    MoveTo(20, 10);
    PressLeftButton(true);
    EXPECT_EQ(link, GetCapture());
    PressLeftButton(false);
    EXPECT_EQ(nullptr, GetCapture());
    ASSERT_EQ(1u, CountOf(LLN_CLICK));
    for (const Notice &n : g_notices) {
        if (n.record.hdr.code == LLN_CLICK) {
            EXPECT_EQ(link, n.record.hdr.hwndFrom);
            EXPECT_EQ(0u, n.record.keys);
            EXPECT_EQ(0u, n.record.pos);
        }
    }

    // Press, drag off, release outside: no click, and the capture goes.
    // The static class takes double clicks, so the press waits for the
    // double-click time to pass.
    PumpMessagesFor(GetDoubleClickTime() + 50);
    g_notices.clear();
    MoveTo(20, 10);
    PressLeftButton(true);
    MoveTo(25, 12);
    ASSERT_GT(CountOf(LLN_HOVER), 0u);
    EXPECT_EQ(DWORD(MK_LBUTTON), g_notices.back().record.keys) << "keys carry the button";
    MoveTo(20, 50, host);
    PumpMessagesFor(100);
    EXPECT_EQ(1u, CountOf(LLN_LEAVE)) << "the leave comes while the button is down";
    EXPECT_EQ(link, GetCapture());
    PressLeftButton(false);
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(0u, CountOf(LLN_CLICK));
}

TEST_F(LinkLabel, AnswersWithoutTheDefaultLogic) {
    Attach();
    HCURSOR hand = static_cast<HCURSOR>(RemovePropA(link, LLPROP_CURSOR));
    HCURSOR cross = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_CROSS));
    SetCursor(cross);
    EXPECT_EQ(TRUE, SendMessageA(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link),
                                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(cross, GetCursor()) << "no class cursor without the property";
    SetPropA(link, LLPROP_CURSOR, hand);
    EXPECT_EQ(TRUE, SendMessageA(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link),
                                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(hand, GetCursor());

    // Hit-testing and the state follow the cursor, whoever sends the record.
    g_echo = false;
    const struct {
        POINT cursor;
        UINT code;
        UINT_PTR state;
    } cases[] = {
        {{20, 10}, LLN_HOVER, 1}, {{20, 10}, LLN_LEAVE, 0}, {{20, 40}, LLN_HOVER, 0},
        {{20, 10}, LLN_HOVER, 1}, {{20, 40}, LLN_HOVER, 1}, {{20, 40}, LLN_CLICK, 1},
        {{20, 40}, LLN_LEAVE, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << c.code << " at " << c.cursor.y);
        MoveTo(c.cursor.x, c.cursor.y);
        bool inside = c.cursor.y < 30;
        EXPECT_EQ(inside ? HTCLIENT : HTTRANSPARENT, SendMessageA(link, WM_NCHITTEST, 0, 0));
        NMLINKLABEL record = {{nullptr, 0, c.code}, 0, 0};
        SendMessageA(link, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&record));
        EXPECT_EQ(c.state, State());
    }
}

TEST_F(LinkLabel, BlueThenRedWhenTheParentEchoes) {
    const COLORREF blue = 0xFF0000, red = 0x0000FF, gray = 0x808080;
    for (bool echo : {false, true}) {
        SCOPED_TRACE(echo ? "echoing parent" : "silent parent");
        g_echo = echo;
        if (!echo)
            Attach();
        MoveTo(1, 40, host);
        PumpMessagesFor(100);
        ScreenPixels normal(link);
        EXPECT_GT(normal.Count(blue), 20u);
        EXPECT_EQ(0u, normal.Count(red));

        MoveTo(20, 10);
        PumpMessagesFor(50);
        ScreenPixels hovered(link);
        EXPECT_EQ(echo ? 0u : normal.Count(blue), hovered.Count(blue));
        EXPECT_EQ(echo ? normal.Count(blue) : 0u, hovered.Count(red));

        // The pressed look: a gray frame round the client area.
        PressLeftButton(true);
        PumpMessagesFor(50);
        ScreenPixels pressed(link);
        EXPECT_EQ(echo ? gray : GetSysColor(COLOR_BTNFACE), pressed.At(0, 0));
        PressLeftButton(false);
        PumpMessagesFor(GetDoubleClickTime() + 50);
    }
}

} // namespace
