// The least a program can do to show tessaro's dialog: its template, shown
// modally by the dialog manager, with nothing filled in. The list-view
// class comes from comctl32, which InitCommonControls pulls in.
#include "dialog/resource.h"

#include <windows.h>
#include <commctrl.h>

namespace {

INT_PTR CALLBACK FloorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
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
