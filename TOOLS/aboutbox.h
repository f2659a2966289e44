// The about box: the program's icon, name and version, and a link to the
// support site. Built from a template in memory; one at a time.
#pragma once
#include <windows.h>

struct AboutBoxInfo {
    const char *supportUrl;
};

// Modal; returns at once when a box is already open. Always true.
bool ShowAboutBox(HWND owner, const AboutBoxInfo *info);
