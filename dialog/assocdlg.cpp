#include "dialog/assocdlg.h"
#include "assoc/filetypes.h"
#include "dialog/exchange.h"
#include "dialog/layout.h"
#include "dialog/resource.h"
#include "dialog/rowtable.h"
#include "dialog/state.h"
#include "TOOLS/aboutbox.h"
#include "TOOLS/toolwind.h"
#include "text/codepage.h"

AssociationSettings LoadedSettings;
DWORD DetailsMask;
BYTE PifRowVisible;
RECT LastClientSize;
SIZE BaseWindowSize;

namespace {

struct SystemMenuEntry {
    UINT flags;
    UINT id;
    const char *text;
};

// Inserted after Maximize, in this order.
const SystemMenuEntry SystemMenuEntries[] = {
    {MF_SEPARATOR, 0, nullptr},
    {MF_STRING, ID_RESET_SETTINGS, "設定を初期値に戻す(&D)"},
    {MF_STRING, ID_ABOUT, "About(&A)"},
    {MF_SEPARATOR, 0, nullptr},
    {MF_STRING, ID_OFFER_PIF, "それでも *.pif ファイルに関連付ける"},
};

int FindMaximizeItem(HMENU menu) {
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i)
        if (GetMenuItemID(menu, i) == SC_MAXIMIZE)
            return i;
    return -1;
}

bool AddSystemMenuItems(HWND dialog) {
    HMENU menu = GetSystemMenu(dialog, FALSE);
    int maximize = FindMaximizeItem(menu);
    if (maximize == -1)
        return false;
    // Each goes in right after Maximize, so the last one goes first.
    for (int i = sizeof SystemMenuEntries / sizeof SystemMenuEntries[0]; i-- > 0;) {
        const SystemMenuEntry &entry = SystemMenuEntries[i];
        char text[kOwnTextCapacity];
        InsertMenuA(menu, maximize + 1, MF_BYPOSITION | entry.flags, entry.id,
                    OwnText(entry.text, text));
    }
    return true;
}

bool PifInstalled() {
    return (LoadedSettings.installedTypes & kTypeBitPif) != 0;
}

BOOL OnInitDialog(HWND dialog) {
    HMODULE module = GetModuleHandleA(nullptr);
    SetWindowIcon(dialog, ICON_BIG, GetModuleIcon(module, false));
    SetWindowIcon(dialog, ICON_SMALL, GetModuleIcon(module, true));
    // At full template height: the dialog later shrinks from the bottom.
    CenterWindowOnCursor(dialog);
    GetClientRect(dialog, &LastClientSize);
    MeasureBaseWindowSize(dialog);
    LoadAssociationSettings(&LoadedSettings);
    DetailsMask = 0;
    PifRowVisible = PifInstalled();
    AddSystemMenuItems(dialog);
    LayoutRows(dialog, DetailsMask);
    FillDialogControls(dialog, &LoadedSettings);
    return FALSE;
}

BOOL OnCommand(HWND dialog, WPARAM wParam) {
    int id = LOWORD(wParam);
    if (id == IDOK)
        return OnOK(dialog);
    if (id == IDCANCEL)
        return OnCancel(dialog);
    for (const RowControls &row : RowControlTable) {
        if (id == row.checkbox) {
            EnableRowControls(dialog, row.key,
                              IsDlgButtonChecked(dialog, row.checkbox) == BST_CHECKED);
            return TRUE;
        }
        if (id == row.detailsButton) {
            DetailsMask ^= row.bit;
            ExpandRowDetails(dialog, row.key, (DetailsMask & row.bit) != 0);
            return TRUE;
        }
        // A click on the box edits the line; any notification of the edit
        // reads it again, which is harmless.
        if (id == row.selectBox || id == row.cmdEdit)
            return UpdateSelectBox(dialog, row, id == row.selectBox);
    }
    return FALSE;
}

BOOL OnNotify(HWND dialog, WPARAM wParam, const NMHDR *header) {
    for (const RowControls &row : RowControlTable)
        if (wParam == static_cast<WPARAM>(row.verbList))
            return OnVerbListDoubleClick(dialog, header);
    return FALSE;
}

BOOL OnSysCommand(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case ID_RESET_SETTINGS:
        // The registry is not read again; panes stay as they are.
        FillDialogControls(dialog, &LoadedSettings);
        PifRowVisible = PifInstalled();
        ApplyPifRowVisible(dialog);
        return TRUE;
    case ID_ABOUT: {
        AboutBoxInfo info = {SUPPORT_SITE_URL};
        ShowAboutBox(dialog, &info);
        return TRUE;
    }
    case ID_OFFER_PIF:
        PifRowVisible = !PifRowVisible;
        ApplyPifRowVisible(dialog);
        return TRUE;
    }
    return FALSE;
}

} // namespace

INT_PTR CALLBACK AssociationDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_DESTROY:
        return TRUE;
    case WM_SIZE:
        return OnSize(dialog, wParam, lParam);
    case WM_GETMINMAXINFO:
        return OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO *>(lParam));
    case WM_NOTIFY:
        return OnNotify(dialog, wParam, reinterpret_cast<const NMHDR *>(lParam));
    case WM_NCHITTEST:
        return OnNcHitTest(dialog, wParam, lParam);
    case WM_COMMAND:
        return OnCommand(dialog, wParam);
    case WM_SYSCOMMAND:
        return OnSysCommand(dialog, wParam);
    case WM_INITMENUPOPUP:
        CheckMenuItem(reinterpret_cast<HMENU>(wParam), ID_OFFER_PIF,
                      MF_BYCOMMAND | (PifRowVisible ? MF_CHECKED : MF_UNCHECKED));
        return TRUE;
    }
    return FALSE;
}

bool ShowAssociationDialog() {
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ASSOCIATION), nullptr,
                           AssociationDialogProc, 0) == IDOK;
}
