// Details panes, the .pif row and horizontal-only sizing.
#pragma once
#include <windows.h>

// The window size that the template asks for, into BaseWindowSize.
bool MeasureBaseWindowSize(HWND dialog);
bool LayoutRows(HWND dialog, DWORD mask);
bool ExpandRowDetails(HWND dialog, int key, bool expand);
bool ApplyPifRowVisible(HWND dialog);
bool OnGetMinMaxInfo(MINMAXINFO *info);
bool OnSize(HWND dialog, WPARAM wParam, LPARAM lParam);
// True with the answer in DWL_MSGRESULT, or false for the default.
bool OnNcHitTest(HWND dialog, WPARAM wParam, LPARAM lParam);
