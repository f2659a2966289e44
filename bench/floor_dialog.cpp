// The least a program can do to show tessaro's dialog: its template, shown
// modally by the dialog manager, with nothing filled in. The list-view
// class comes from comctl32, which InitCommonControls pulls in.
//
// Built a second time with FLOOR_SHELL_ICON: the dialog then also takes
// its icons the way tessaro's dialog does, through the shell's icon for the
// executable, and that copy shows what the shell's icons alone cost.
#include "dialog/resource.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

namespace {

#ifdef FLOOR_SHELL_ICON
void SetShellIcons(HWND dialog) {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    const UINT sizes[][2] = {{ICON_BIG, SHGFI_LARGEICON}, {ICON_SMALL, SHGFI_SMALLICON}};
    for (const UINT *size : sizes) {
        SHFILEINFOA info = {};
        if (SHGetFileInfoA(path, 0, &info, sizeof info, SHGFI_ICON | size[1]))
            SendMessageA(dialog, WM_SETICON, size[0], reinterpret_cast<LPARAM>(info.hIcon));
    }
}
#endif

INT_PTR CALLBACK FloorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
#ifdef FLOOR_SHELL_ICON
    if (message == WM_INITDIALOG)
        SetShellIcons(dialog);
#endif
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    InitCommonControls();
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ASSOCIATION), nullptr, FloorDialogProc, 0);
    return 0;
}
