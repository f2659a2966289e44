// Panes, sizing, hit-testing and the system menu of the real dialog.
#include "dialog_fixture.h"
#include "harness/wine.h"
#include "tests/TOOLS/screen.h"

#include <commctrl.h>

namespace {

const std::string kClosed = Narrow(L"詳細 >>");
const std::string kOpen = Narrow(L"<< 詳細");

// A pixel off is rounding: the layout moves by measured pixel distances
// while the expectation maps dialog units directly.
testing::AssertionResult NearPx(int expected, int actual) {
    if (abs(expected - actual) <= 1)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "expected " << expected << " px, got " << actual;
}

class Layout : public DialogTest {
  protected:
    void SetUp() override {
        DeleteTree("lnkfile\\shell\\tessaro");
        DeleteTree(".pif");
        Open();
    }
    int Top(int id) { return ItemRect(dialog, id).top; }
};

TEST_F(Layout, OpensWithEveryPaneClosed) {
    EXPECT_TRUE(NearPx(DluY(dialog, 9), Top(IDC_LNK_CHECK)));
    EXPECT_TRUE(NearPx(DluY(dialog, 31), Top(IDC_PIF_CHECK)));
    EXPECT_TRUE(NearPx(DluY(dialog, 29), Top(IDC_PIF_DETAILS)));
    EXPECT_TRUE(NearPx(DluY(dialog, 51), Top(IDOK)));
    EXPECT_TRUE(NearPx(DluY(dialog, 51), Top(IDCANCEL)));
    EXPECT_TRUE(NearPx(DluY(dialog, 70), ClientSize(dialog).cy));
    EXPECT_EQ(kClosed, ItemText(dialog, IDC_LNK_DETAILS));
    EXPECT_EQ(kClosed, ItemText(dialog, IDC_PIF_DETAILS));
    // .pif is not installed: its row is hidden, and so are both panes.
    EXPECT_FALSE(ItemVisible(dialog, IDC_PIF_CHECK));
    EXPECT_FALSE(ItemVisible(dialog, IDC_PIF_DETAILS));
    EXPECT_TRUE(ItemVisible(dialog, IDC_LNK_CHECK));
    EXPECT_TRUE(ItemVisible(dialog, IDC_LNK_DETAILS));
    for (int id : {IDC_LNK_GROUP, IDC_LNK_SELECT, IDC_LNK_VERBS, IDC_LNK_CMD_LABEL, IDC_PIF_GROUP,
                   IDC_PIF_CMD})
        EXPECT_FALSE(ItemVisible(dialog, id)) << id;
    // The verb columns keep their 96-DPI pixel widths.
    EXPECT_EQ(60, SendDlgItemMessageA(dialog, IDC_LNK_VERBS, LVM_GETCOLUMNWIDTH, 0, 0));
    EXPECT_EQ(256, SendDlgItemMessageA(dialog, IDC_PIF_VERBS, LVM_GETCOLUMNWIDTH, 1, 0));
    // The program's icon, each size in its place.
    EXPECT_EQ(GetSystemMetrics(SM_CXICON),
              IconWidth(reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0))));
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON),
              IconWidth(reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0))));
}

TEST_F(Layout, OpeningThePaneMovesTheRowsBelowAndDoublesTheWidth) {
    SIZE closed = WindowSize(dialog);
    RECT menuBefore = ItemRect(dialog, IDC_LNK_MENU);
    RECT detailsBefore = ItemRect(dialog, IDC_LNK_DETAILS);
    Click(dialog, IDC_LNK_DETAILS);

    EXPECT_EQ(kOpen, ItemText(dialog, IDC_LNK_DETAILS));
    EXPECT_TRUE(ItemVisible(dialog, IDC_LNK_GROUP));
    EXPECT_TRUE(ItemVisible(dialog, IDC_LNK_SELECT));
    EXPECT_TRUE(NearPx(DluY(dialog, 179), Top(IDC_PIF_CHECK)));
    EXPECT_TRUE(NearPx(DluY(dialog, 177), Top(IDC_PIF_DETAILS)));
    EXPECT_TRUE(NearPx(DluY(dialog, 193), Top(IDC_PIF_GROUP)));
    EXPECT_TRUE(NearPx(DluY(dialog, 199), Top(IDOK)));
    EXPECT_TRUE(NearPx(DluY(dialog, 218), ClientSize(dialog).cy));

    EXPECT_TRUE(ButtonDrawn(Item(IDC_LNK_DETAILS)));
    SIZE open = WindowSize(dialog);
    EXPECT_EQ(2 * closed.cx, open.cx);
    int gained = closed.cx;
    RECT menuAfter = ItemRect(dialog, IDC_LNK_MENU);
    EXPECT_EQ(menuBefore.left, menuAfter.left);
    EXPECT_EQ(menuBefore.right + gained, menuAfter.right);
    for (int id : {IDC_LNK_REGKEY, IDC_LNK_CMD, IDC_LNK_VERBS, IDC_LNK_GROUP, IDC_PIF_GROUP}) {
        RECT r = ItemRect(dialog, id);
        EXPECT_GT(r.right - r.left, DluX(dialog, 73)) << id << " is wider by the gain";
    }
    RECT detailsAfter = ItemRect(dialog, IDC_LNK_DETAILS);
    EXPECT_EQ(detailsBefore.left + gained, detailsAfter.left);
    EXPECT_EQ(detailsBefore.right - detailsBefore.left, detailsAfter.right - detailsAfter.left);
    EXPECT_TRUE(NearPx(DluX(dialog, 32) + gained, ItemRect(dialog, IDOK).left));
    EXPECT_TRUE(NearPx(DluX(dialog, 7), ItemRect(dialog, IDC_LNK_CHECK).left))
        << "check boxes keep their place";

    // Closing the last pane gives the opening size back.
    Click(dialog, IDC_LNK_DETAILS);
    EXPECT_EQ(kClosed, ItemText(dialog, IDC_LNK_DETAILS));
    EXPECT_EQ(closed.cx, WindowSize(dialog).cx);
    EXPECT_EQ(closed.cy, WindowSize(dialog).cy);
    EXPECT_EQ(menuBefore.right, ItemRect(dialog, IDC_LNK_MENU).right);
    EXPECT_TRUE(NearPx(DluY(dialog, 51), Top(IDOK)));
}

TEST_F(Layout, TrackingLimitsRefuseOtherSizes) {
    SIZE closed = WindowSize(dialog);
    SetWindowPos(dialog, nullptr, 0, 0, closed.cx + 100, closed.cy + 50,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    EXPECT_EQ(closed.cx, WindowSize(dialog).cx) << "width is fixed while every pane is closed";
    EXPECT_EQ(closed.cy, WindowSize(dialog).cy);

    Click(dialog, IDC_LNK_DETAILS);
    SIZE open = WindowSize(dialog);
    RECT cmd = ItemRect(dialog, IDC_LNK_CMD);
    SetWindowPos(dialog, nullptr, 0, 0, open.cx + 60, open.cy - 40,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    EXPECT_EQ(open.cx + 60, WindowSize(dialog).cx) << "an open pane may widen further";
    EXPECT_EQ(open.cy, WindowSize(dialog).cy) << "the height never changes";
    EXPECT_EQ(cmd.right + 60, ItemRect(dialog, IDC_LNK_CMD).right);
    SetWindowPos(dialog, nullptr, 0, 0, closed.cx, open.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(2 * closed.cx, WindowSize(dialog).cx) << "never narrower than twice the opening";

    // Both panes open, then one closed: the other still holds the limit.
    SendMessageA(dialog, WM_SYSCOMMAND, ID_OFFER_PIF, 0);
    Click(dialog, IDC_PIF_DETAILS);
    Click(dialog, IDC_LNK_DETAILS);
    ASSERT_EQ(kOpen, ItemText(dialog, IDC_PIF_DETAILS));
    SetWindowPos(dialog, nullptr, 0, 0, closed.cx, WindowSize(dialog).cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(2 * closed.cx, WindowSize(dialog).cx) << "the .pif pane is still open";
}

TEST_F(Layout, MinimisedSizeLeavesTheLayoutAlone) {
    Click(dialog, IDC_LNK_DETAILS);
    RECT cmd = ItemRect(dialog, IDC_LNK_CMD);
    RECT ok = ItemRect(dialog, IDOK);
    SendMessageA(dialog, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
    EXPECT_EQ(cmd.right, ItemRect(dialog, IDC_LNK_CMD).right);
    SIZE client = ClientSize(dialog);
    SendMessageA(dialog, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.cx, client.cy));
    EXPECT_EQ(cmd.right, ItemRect(dialog, IDC_LNK_CMD).right) << "restore finds nothing to do";
    EXPECT_EQ(ok.left, ItemRect(dialog, IDOK).left);
}

TEST_F(Layout, HitTestDragsFromTheClientAndSizesOnlyHorizontally) {
    RECT w;
    GetWindowRect(dialog, &w);
    RECT c;
    GetClientRect(dialog, &c);
    POINT inside = {c.right / 2, c.bottom - 2}; // background below the buttons
    ClientToScreen(dialog, &inside);
    int midX = (w.left + w.right) / 2;
    struct {
        POINT at;
        LRESULT expected;
    } cases[] = {
        {inside, HTCAPTION},
        {{midX, w.top}, HTBORDER},
        {{midX, w.bottom - 1}, HTBORDER},
        {{w.left, w.top}, HTLEFT},
        {{w.right - 1, w.top}, HTRIGHT},
        {{w.left, w.bottom - 1}, HTLEFT},
        {{w.right - 1, w.bottom - 1}, HTRIGHT},
        {{w.left, (w.top + w.bottom) / 2}, HTLEFT},
        {{w.right - 1, (w.top + w.bottom) / 2}, HTRIGHT},
    };
    for (const auto &c : cases) {
        LRESULT hit = SendMessageA(dialog, WM_NCHITTEST, 0, MAKELPARAM(c.at.x, c.at.y));
        EXPECT_EQ(c.expected, hit) << "at " << c.at.x << "," << c.at.y;
    }
}

TEST_F(Layout, SystemMenuCommandsFollowMaximize) {
    HMENU menu = GetSystemMenu(dialog, FALSE);
    int maximize = -1;
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        if (GetMenuItemID(menu, i) == SC_MAXIMIZE)
            maximize = i;
    ASSERT_NE(-1, maximize);
    struct {
        UINT id;
        std::string text;
    } expected[] = {
        {0, ""},
        {ID_RESET_SETTINGS, Narrow(L"設定を初期値に戻す(&D)")},
        {ID_ABOUT, "About(&A)"},
        {0, ""},
        {ID_OFFER_PIF, Narrow(L"それでも *.pif ファイルに関連付ける")},
    };
    for (int i = 0; i < 5; ++i) {
        char text[256] = "";
        GetMenuStringA(menu, maximize + 1 + i, text, sizeof text, MF_BYPOSITION);
        EXPECT_EQ(expected[i].id, GetMenuItemID(menu, maximize + 1 + i)) << i;
        EXPECT_EQ(expected[i].text, text) << i;
    }
    EXPECT_EQ(static_cast<UINT>(SC_CLOSE), GetMenuItemID(menu, maximize + 7))
        << "a separator, then the system's own items go on";

    SendMessageA(dialog, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, TRUE));
    EXPECT_EQ(0u, GetMenuState(menu, ID_OFFER_PIF, MF_BYCOMMAND) & MF_CHECKED);
    SendMessageA(dialog, WM_SYSCOMMAND, ID_OFFER_PIF, 0);
    SendMessageA(dialog, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, TRUE));
    EXPECT_EQ(static_cast<UINT>(MF_CHECKED),
              GetMenuState(menu, ID_OFFER_PIF, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(ItemVisible(dialog, IDC_PIF_CHECK));

    // Installed at opening: the row shows, and so does the tick.
    Close();
    SetDefault(".pif", "piffile");
    SetDefault("piffile\\shell\\tessaro\\command", "installed");
    Open();
    menu = GetSystemMenu(dialog, FALSE);
    SendMessageA(dialog, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, TRUE));
    EXPECT_TRUE(ItemVisible(dialog, IDC_PIF_CHECK));
    EXPECT_EQ(static_cast<UINT>(MF_CHECKED),
              GetMenuState(menu, ID_OFFER_PIF, MF_BYCOMMAND) & MF_CHECKED);
}

TEST_F(Layout, HidingThePifRowClosesItsPane) {
    SIZE closed = WindowSize(dialog);
    SendMessageA(dialog, WM_SYSCOMMAND, ID_OFFER_PIF, 0);
    ASSERT_TRUE(ItemVisible(dialog, IDC_PIF_DETAILS));
    int lnkCheck = Top(IDC_LNK_CHECK), lnkDetails = Top(IDC_LNK_DETAILS);
    Click(dialog, IDC_PIF_DETAILS);
    EXPECT_EQ(kOpen, ItemText(dialog, IDC_PIF_DETAILS));
    EXPECT_EQ(lnkCheck, Top(IDC_LNK_CHECK)) << "only rows below the pane move";
    EXPECT_EQ(lnkDetails, Top(IDC_LNK_DETAILS));
    EXPECT_TRUE(ItemVisible(dialog, IDC_PIF_GROUP));
    EXPECT_GT(WindowSize(dialog).cy, closed.cy);

    SendMessageA(dialog, WM_SYSCOMMAND, ID_OFFER_PIF, 0);
    EXPECT_FALSE(ItemVisible(dialog, IDC_PIF_CHECK));
    EXPECT_FALSE(ItemVisible(dialog, IDC_PIF_DETAILS));
    EXPECT_FALSE(ItemVisible(dialog, IDC_PIF_GROUP));
    EXPECT_EQ(kClosed, ItemText(dialog, IDC_PIF_DETAILS));
    EXPECT_EQ(closed.cy, WindowSize(dialog).cy);
    EXPECT_EQ(closed.cx, WindowSize(dialog).cx) << "the last pane closed: opening width";

    SendMessageA(dialog, WM_SYSCOMMAND, ID_OFFER_PIF, 0);
    EXPECT_TRUE(ItemVisible(dialog, IDC_PIF_CHECK));
    EXPECT_FALSE(ItemVisible(dialog, IDC_PIF_GROUP)) << "shown again with its pane closed";
    EXPECT_TRUE(NearPx(DluY(dialog, 51), Top(IDOK)));
}

} // namespace
