// The installer dialog (resource 120), modal and without an owner.
#pragma once
#include <windows.h>

// True only when OK ended the dialog.
bool ShowAssociationDialog();
INT_PTR CALLBACK AssociationDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Where the about box sends its user.
#define SUPPORT_SITE_URL "https://tessaro.jp/"
