// The dialog and the about box at each display scale. Wine reads the
// prefix's DPI when a process starts: each DPI runs in a child process.
#include "dialog/assocdlg.h"
#include "dialog_fixture.h"
#include "harness/wine.h"
#include "tests/TOOLS/screen.h"

#include <commctrl.h>

namespace {

int TextWidth(HWND control, const char *text) {
    HDC dc = GetDC(control);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    ReleaseDC(control, dc);
    return size.cx;
}

// Visible controls inside the client area, labels and column titles no
// wider than their place, the window on the work area.
testing::AssertionResult Whole(HWND window, const char *form) {
    testing::AssertionResult bad = testing::AssertionFailure() << form << ":";
    RECT client, outer, work;
    GetClientRect(window, &client);
    GetWindowRect(window, &outer);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    bool whole = outer.left >= work.left && outer.top >= work.top && outer.right <= work.right &&
                 outer.bottom <= work.bottom;
    if (!whole)
        bad << " off the work area";
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r = ItemRect(window, GetDlgCtrlID(c));
        char cls[32] = "", text[64] = "";
        GetClassNameA(c, cls, sizeof cls);
        GetWindowTextA(c, text, sizeof text);
        bool fits = r.left >= 0 && r.top >= 0 && r.right <= client.right &&
                    r.bottom <= client.bottom &&
                    (lstrcmpiA(cls, "Static") || TextWidth(c, text) <= r.right - r.left);
        for (int i = 0; !lstrcmpiA(cls, WC_LISTVIEWA) && i < 2; ++i) {
            LVCOLUMNA column = {};
            column.mask = LVCF_TEXT;
            column.pszText = text;
            column.cchTextMax = sizeof text;
            SendMessageA(c, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
            fits = fits && TextWidth(c, text) <= SendMessageA(c, LVM_GETCOLUMNWIDTH, i, 0);
        }
        if (!fits && (GetWindowLongA(c, GWL_STYLE) & WS_VISIBLE)) {
            whole = false;
            bad << " " << GetDlgCtrlID(c);
        }
    }
    return whole ? testing::AssertionSuccess() : bad;
}

DWORD WINAPI CheckAboutBox(void *) {
    HWND box = WaitForDialog("tessaro について", 60000);
    EXPECT_TRUE(box && Whole(box, "about"));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return 0;
}

class DpiChild : public DialogTest {};

// Run only by Dpi.EveryFormIsWholeAtEveryScale, once per DPI.
TEST_F(DpiChild, DISABLED_FormsAreWhole) {
    char dpi[8] = "";
    ASSERT_TRUE(GetEnvironmentVariableA("TESSARO_DPI", dpi, sizeof dpi));
    HDC screen = GetDC(nullptr);
    ASSERT_EQ(atoi(dpi), GetDeviceCaps(screen, LOGPIXELSY));
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);
    Open();
    EXPECT_TRUE(Whole(dialog, "collapsed"));
    EXPECT_EQ(GetSystemMetrics(SM_CXICON),
              IconWidth(reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0))));
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON),
              IconWidth(reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0))));
    Click(dialog, IDC_LNK_DETAILS);
    EXPECT_TRUE(Whole(dialog, ".lnk open"));
    EXPECT_TRUE(ButtonDrawn(Item(IDC_LNK_DETAILS)));
    Click(dialog, IDC_LNK_DETAILS);
    SendMessageA(dialog, WM_SYSCOMMAND, ID_OFFER_PIF, 0);
    Click(dialog, IDC_PIF_DETAILS);
    EXPECT_TRUE(Whole(dialog, ".pif open"));
    Click(dialog, IDC_LNK_DETAILS);
    // At 288 DPI the template, laid out with both panes open, is taller than
    // the screen; the other forms must be whole all the same.
    EXPECT_TRUE(atoi(dpi) == 288 || Whole(dialog, "all open"));
    // Centred on a cursor at the right edge, both widen past it and must
    // move back: the dialog when its pane opens, the about box as it opens.
    Close();
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) / 2);
    Open();
    Click(dialog, IDC_LNK_DETAILS);
    EXPECT_TRUE(Whole(dialog, ".lnk open at the right edge"));
    HANDLE thread = CreateThread(nullptr, 0, CheckAboutBox, nullptr, 0, nullptr);
    SendMessageA(dialog, WM_SYSCOMMAND, ID_ABOUT, 0); // returns once the box has gone
    WaitForSingleObject(thread, 60000);
    CloseHandle(thread);
}

TEST(Dpi, EveryFormIsWholeAtEveryScale) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    HKEY desktop;
    ASSERT_EQ(0, RegCreateKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &desktop));
    for (DWORD dpi : {96, 120, 144, 168, 192, 240, 288}) {
        SCOPED_TRACE(testing::Message() << dpi << " DPI");
        RegSetValueExA(desktop, "LogPixels", 0, REG_DWORD, reinterpret_cast<BYTE *>(&dpi), 4);
        SetEnvironmentVariableA("TESSARO_DPI", std::to_string(dpi).c_str());
        ChildRun run = RunDebugged(
            Quote(self) + " --gtest_also_run_disabled_tests --gtest_filter=DpiChild.*", 300000);
        EXPECT_TRUE(run.finished && run.exitCode == 0);
    }
    RegCloseKey(desktop);
}

} // namespace
