// The about box: the program's icon, name and version, and a link to the
// support site. Built from a template in memory; one at a time.
#pragma once
#include <windows.h>

struct AboutBoxInfo {
    const char *supportUrl;
};

// Modal; returns at once when a box is already open. Always true.
bool ShowAboutBox(HWND owner, const AboutBoxInfo *info);

// The dialog's creation parameter, kept in "PROP_ABOUTDIALOGDATA". The
// icons belong to whoever runs the dialog.
struct AboutDialogData {
    HICON largeIcon;
    HICON smallIcon;
    const AboutBoxInfo *info;
};
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Released with MemFree; null when it cannot be allocated.
void *BuildAboutTemplate();

// The version block (released with MemFree) and a pointer into it to the
// first translation: language in the low word, code page in the high word.
void *LoadModuleVersionInfo(HMODULE module, const DWORD **translation);
void *LoadFileVersionInfo(const char *path, const DWORD **translation);
// out holds 522 bytes; it is "" when the value is missing.
bool QueryVersionString(char *out, const void *block, DWORD translation, const char *name);
// Line 101 ("%s ver. %s") and the caption ("%s について"), 522 bytes each.
// An empty or missing ProductName gives way to the FileDescription.
void FormatVersionTexts(char *line, char *caption, const void *block, DWORD translation);

// Only from rsrc32.dll in the system directory, where some systems have it.
bool GetFreeSystemResources(int *percent);
// Leaves the control empty when the system reports nothing.
bool SetFreeResourcesText(HWND control);

// Widens the control to its text when the text is wider; the growth in
// pixels, 0 for a text that fits.
int FitControlToText(HWND control);
