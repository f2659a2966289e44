// The dialog and the about box at every display scale. Wine reads the
// prefix's DPI when a process starts, so each DPI runs in a child process.
#include "TOOLS/aboutbox.h"
#include "TOOLS/toolwind.h"
#include "dialog/assocdlg.h"
#include "dialog_fixture.h"
#include "harness/wine.h"
#include "tests/TOOLS/screen.h"
#include "text/heap.h"

#include <commctrl.h>
#include <sstream>

namespace {

const char kChildDpi[] = "TESSARO_DPI_CHILD";

int TextWidth(HWND window, HFONT font, const std::string &text) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return size.cx;
}

// Every visible control inside the client area, every label and every
// column title no wider than its place, the window on the work area.
testing::AssertionResult Whole(HWND window, const char *form) {
    std::ostringstream bad;
    RECT client, outer, work;
    GetClientRect(window, &client);
    GetWindowRect(window, &outer);
    GetWorkArea(&work);
    if (outer.left < work.left || outer.top < work.top || outer.right > work.right ||
        outer.bottom > work.bottom)
        bad << " window off the work area;";
    POINT extent = {0, 0};
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!(GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE))
            continue;
        int id = GetDlgCtrlID(child);
        RECT r = ItemRect(window, id);
        extent = {std::max(extent.x, r.right), std::max(extent.y, r.bottom)};
        if (r.left < 0 || r.top < 0 || r.right > client.right || r.bottom > client.bottom)
            bad << " " << id << " outside the client area;";
        char cls[32] = "";
        GetClassNameA(child, cls, sizeof cls);
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0));
        std::string text = ItemText(window, id);
        if (!lstrcmpiA(cls, "Static") && TextWidth(child, font, text) > r.right - r.left)
            bad << " " << id << " text wider than the control;";
        for (int c = 0; !lstrcmpiA(cls, WC_LISTVIEWA) && c < 2; ++c) {
            char title[32] = "";
            LVCOLUMNA column = {};
            column.mask = LVCF_TEXT;
            column.pszText = title;
            column.cchTextMax = sizeof title;
            SendMessageA(child, LVM_GETCOLUMNA, c, reinterpret_cast<LPARAM>(&column));
            if (TextWidth(child, font, title) > SendMessageA(child, LVM_GETCOLUMNWIDTH, c, 0))
                bad << " " << id << " column " << c << " narrower than its title;";
        }
    }
    printf("  %-9s window %4ldx%-4ld client %4ldx%-4ld controls to %4ld,%-4ld\n", form,
           outer.right - outer.left, outer.bottom - outer.top, client.right, client.bottom,
           extent.x, extent.y);
    if (bad.str().empty())
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << form << ":" << bad.str();
}

int IconWidthFor(HWND window, WPARAM which) {
    return IconWidth(reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, which, 0)));
}

class DpiChild : public DialogTest {};

// Runs only as the child that Dpi.EveryFormIsWholeAtEveryScale starts.
TEST_F(DpiChild, FormsAreWhole) {
    char expected[8] = "";
    if (!GetEnvironmentVariableA(kChildDpi, expected, sizeof expected))
        GTEST_SKIP() << "started by Dpi.EveryFormIsWholeAtEveryScale";
    HDC screen = GetDC(nullptr);
    ASSERT_EQ(atoi(expected), GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    RECT work;
    GetWorkArea(&work);
    SetCursorPos((work.left + work.right) / 2, (work.top + work.bottom) / 2);
    DeleteTree("lnkfile\\shell\\tessaro");
    DeleteTree(".pif");
    printf("%s DPI\n", expected);

    Open();
    EXPECT_TRUE(Whole(dialog, "collapsed"));
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), IconWidthFor(dialog, ICON_BIG));
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), IconWidthFor(dialog, ICON_SMALL));
    Click(dialog, IDC_LNK_DETAILS);
    EXPECT_TRUE(Whole(dialog, ".lnk open"));
    Click(dialog, IDC_LNK_DETAILS);
    SendMessageA(dialog, WM_SYSCOMMAND, ID_OFFER_PIF, 0);
    EXPECT_TRUE(Whole(dialog, ".pif row"));
    Click(dialog, IDC_PIF_DETAILS);
    EXPECT_TRUE(Whole(dialog, ".pif open"));
    Click(dialog, IDC_LNK_DETAILS);
    // At 288 DPI the template, laid out with both panes open, is taller
    // than the screen; every other form must still be whole.
    if (atoi(expected) < 288) {
        EXPECT_TRUE(Whole(dialog, "all open"));
    }
    Close();

    AboutBoxInfo info{SUPPORT_SITE_URL};
    HMODULE module = GetModuleHandleA(nullptr);
    AboutDialogData data{GetModuleIcon(module, false), GetModuleIcon(module, true), &info};
    void *about = BuildAboutTemplate();
    HWND box = CreateDialogIndirectParamA(module, static_cast<LPCDLGTEMPLATEA>(about), nullptr,
                                          AboutDialogProc, reinterpret_cast<LPARAM>(&data));
    ASSERT_NE(nullptr, box);
    Pump();
    EXPECT_TRUE(Whole(box, "about"));
    EXPECT_EQ(GetSystemMetrics(SM_CXICON),
              IconWidth(reinterpret_cast<HICON>(SendDlgItemMessageA(box, 100, STM_GETICON, 0, 0))));
    DestroyWindow(box);
    DestroyIcon(data.largeIcon);
    DestroyIcon(data.smallIcon);
    MemFree(about);
}

void SetPrefixDpi(DWORD dpi) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key));
    RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&dpi), 4);
    RegCloseKey(key);
}

TEST(Dpi, EveryFormIsWholeAtEveryScale) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    for (DWORD dpi : {96, 120, 144, 168, 192, 240, 288}) {
        SCOPED_TRACE(testing::Message() << dpi << " DPI");
        SetPrefixDpi(dpi);
        SetEnvironmentVariableA(kChildDpi, std::to_string(dpi).c_str());
        ChildRun run = RunDebugged(Quote(self) + " --gtest_filter=DpiChild.*", 300000);
        EXPECT_TRUE(run.finished);
        EXPECT_EQ(0u, run.exitCode);
    }
    SetEnvironmentVariableA(kChildDpi, nullptr);
    SetPrefixDpi(96);
}

} // namespace
