#include "dialog/layout.h"
#include "assoc/filetypes.h"
#include "dialog/resource.h"
#include "dialog/rowtable.h"
#include "dialog/state.h"
#include "dialog/verblist.h"
#include "TOOLS/toolwind.h"
#include "text/codepage.h"

namespace {

const char kDetailsOpen[] = "<< 詳細";
const char kDetailsClosed[] = "詳細 >>";

struct SizeRule {
    int id;
    BYTE moveX, moveY, sizeX, sizeY;
};

// Labels and the type check boxes keep their place; everything right of
// them follows the width.
const SizeRule SizeRules[] = {
    {IDC_LNK_DETAILS, 1, 0, 0, 0}, // .lnk row
    {IDC_LNK_REGKEY, 0, 0, 1, 0},
    {IDC_LNK_MENU, 0, 0, 1, 0},
    {IDC_LNK_CMD, 0, 0, 1, 0},
    {IDC_LNK_SELECT, 0, 0, 1, 0},
    {IDC_LNK_VERBS, 0, 0, 1, 0},
    {IDC_LNK_GROUP, 0, 0, 1, 0},
    {IDC_PIF_DETAILS, 1, 0, 0, 0}, // .pif row
    {IDC_PIF_REGKEY, 0, 0, 1, 0},
    {IDC_PIF_MENU, 0, 0, 1, 0},
    {IDC_PIF_CMD, 0, 0, 1, 0},
    {IDC_PIF_SELECT, 0, 0, 1, 0},
    {IDC_PIF_VERBS, 0, 0, 1, 0},
    {IDC_PIF_GROUP, 0, 0, 1, 0},
    {IDOK, 1, 0, 0, 0}, // the dialog's buttons
    {IDCANCEL, 1, 0, 0, 0},
};
const int kSizeRuleCount = sizeof SizeRules / sizeof SizeRules[0];

struct HitRule {
    LRESULT hit, answer;
};

// The client area drags like the caption; no edge or corner sizes vertically.
const HitRule HitRules[] = {
    {HTCLIENT, HTCAPTION}, {HTTOP, HTBORDER},      {HTBOTTOM, HTBORDER},     {HTTOPLEFT, HTLEFT},
    {HTTOPRIGHT, HTRIGHT}, {HTBOTTOMLEFT, HTLEFT}, {HTBOTTOMRIGHT, HTRIGHT},
};

const RowControls *PifRow() {
    return FindRow(kTypeKeyPif);
}

void ShowPaneControls(HWND dialog, const RowControls &row, bool show) {
    for (int RowControls::*field : RowControlFields)
        if (IsPaneControl(field) && IsValidDlgItem(dialog, row.*field))
            SetDlgItemVisible(dialog, row.*field, show);
}

void MoveRowVertically(HWND dialog, const RowControls &row, int dy) {
    for (int RowControls::*field : RowControlFields)
        if (IsValidDlgItem(dialog, row.*field))
            MoveDlgItemVertically(dialog, row.*field, dy);
}

} // namespace

bool ExpandRowDetails(HWND dialog, int key, bool expand) {
    const RowControls *row = FindRow(key);
    if (!row)
        return false;
    char text[kOwnTextCapacity];
    if (IsValidDlgItem(dialog, row->detailsButton))
        SetDlgItemTextA(dialog, row->detailsButton,
                        OwnText(expand ? kDetailsOpen : kDetailsClosed, text));
    ShowPaneControls(dialog, *row, expand);
    int buttonBottom = GetDlgItemBottom(dialog, row->detailsButton);
    int delta = GetDlgItemBottom(dialog, row->groupBox) - buttonBottom;
    if (!expand)
        delta = -delta;
    for (const RowControls &other : RowControlTable)
        if (&other != row && GetDlgItemTop(dialog, other.groupBox) > buttonBottom)
            MoveRowVertically(dialog, other, delta);
    MoveDlgItemVertically(dialog, IDOK, delta);
    MoveDlgItemVertically(dialog, IDCANCEL, delta);
    BaseWindowSize.cy += delta;
    SetWindowSize(dialog, GetWindowWidth(dialog), BaseWindowSize.cy);
    // Opening may have doubled the width past the screen's edge; closing
    // leaves the dialog where the user sees it.
    if (expand)
        KeepWindowInWorkArea(dialog);
    return true;
}

// Creation cuts a window to the screen, and at a high DPI the template,
// laid out with both panes open, is taller than that: collapsing the panes
// from the cut height left a strip. So the size comes from the template's
// units, and only the frame from the window.
bool MeasureBaseWindowSize(HWND dialog) {
    SIZE units;
    RECT client;
    GetWindowSize(dialog, &BaseWindowSize);
    GetClientRect(dialog, &client);
    if (!GetDialogTemplateSize(GetModuleHandleA(nullptr), IDD_ASSOCIATION, &units))
        return false;
    RECT full = {0, 0, units.cx, units.cy};
    MapDialogRect(dialog, &full);
    BaseWindowSize.cx += full.right - client.right;
    BaseWindowSize.cy += full.bottom - client.bottom;
    return true;
}

bool ApplyPifRowVisible(HWND dialog) {
    const RowControls *pif = PifRow();
    if (IsValidDlgItem(dialog, pif->checkbox))
        SetDlgItemVisible(dialog, pif->checkbox, PifRowVisible != 0);
    if (IsValidDlgItem(dialog, pif->detailsButton))
        SetDlgItemVisible(dialog, pif->detailsButton, PifRowVisible != 0);
    if (!PifRowVisible && (DetailsMask & pif->bit)) {
        DetailsMask &= ~static_cast<DWORD>(pif->bit);
        ExpandRowDetails(dialog, pif->key, false);
    }
    return true;
}

bool LayoutRows(HWND dialog, DWORD mask) {
    for (const RowControls &row : RowControlTable) {
        ExpandRowDetails(dialog, row.key, (mask & row.bit) != 0);
        if (IsValidDlgItem(dialog, row.verbList))
            FillVerbList(GetDlgItem(dialog, row.verbList));
    }
    return ApplyPifRowVisible(dialog);
}

bool OnGetMinMaxInfo(MINMAXINFO *info) {
    // Sent during creation, before the dialog has measured itself.
    if (BaseWindowSize.cx == 0)
        return true;
    info->ptMinTrackSize.y = BaseWindowSize.cy;
    info->ptMaxTrackSize.y = BaseWindowSize.cy;
    info->ptMinTrackSize.x = DetailsMask ? BaseWindowSize.cx * 2 : BaseWindowSize.cx;
    if (!DetailsMask)
        info->ptMaxTrackSize.x = BaseWindowSize.cx;
    return true;
}

bool OnSize(HWND dialog, WPARAM wParam, LPARAM lParam) {
    if (wParam == SIZE_MINIMIZED)
        return true;
    HDWP batch = BeginDeferWindowPos(kSizeRuleCount);
    if (!batch)
        return true;
    int width = LOWORD(lParam);
    int height = HIWORD(lParam);
    int dx = width - LastClientSize.right;
    int dy = height - LastClientSize.bottom;
    for (const SizeRule &rule : SizeRules)
        DeferDlgItemBy(&batch, dialog, rule.id, rule.moveX ? dx : 0, rule.moveY ? dy : 0,
                       rule.sizeX ? dx : 0, rule.sizeY ? dy : 0);
    if (batch)
        EndDeferWindowPos(batch);
    // Wine can leave a control moved into the area the dialog has just
    // gained undrawn; the children are invalidated with the dialog, since
    // it does not clip them.
    InvalidateRect(dialog, nullptr, TRUE);
    LastClientSize.right = width;
    LastClientSize.bottom = height;
    return true;
}

bool OnNcHitTest(HWND dialog, WPARAM wParam, LPARAM lParam) {
    LRESULT hit = DefWindowProcA(dialog, WM_NCHITTEST, wParam, lParam);
    for (const HitRule &rule : HitRules) {
        if (rule.hit == hit) {
            SetWindowLongA(dialog, DWL_MSGRESULT, static_cast<LONG>(rule.answer));
            return true;
        }
    }
    return false;
}
