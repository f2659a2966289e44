// A static text control turned into a hyperlink: underlined, blue, red
// while the mouse is over it, with a hand cursor of its own. It reports
// hover, leave and click to its parent; it changes its look only when the
// parent sends the hover and leave records back to it.
#pragma once
#include <windows.h>

#define LLPROP_ORIGINALPROC "LLPROP_ORIGINALPROC"
#define LLPROP_CONTROLSTATE "LLPROP_CONTROLSTATE"
#define LLPROP_CURSOR "LLPROP_CURSOR"
#define LLPROP_FONT "LLPROP_FONT"

enum LinkLabelState { LLSTATE_NORMAL = 0, LLSTATE_HOVER = 1 };

enum LinkLabelCode : UINT {
    LLN_CLICK = 1025, // released over the control after a press on it
    LLN_LEAVE = 1026, // the hover timer found the cursor outside
    LLN_HOVER = 1027, // every mouse move inside the client rectangle
};

struct NMLINKLABEL {
    NMHDR hdr;
    DWORD keys; // LLN_HOVER: the WM_MOUSEMOVE wParam; 0 otherwise
    DWORD pos;  // LLN_HOVER: the WM_MOUSEMOVE lParam; 0 otherwise
};

// Call once, after the control has its text and font. False, with the
// control untouched, when it has no font or the font or cursor cannot be
// made. Only the control's destruction undoes it.
bool AttachLinkLabel(HWND control);
LRESULT CALLBACK LinkLabelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

HFONT CreateUnderlinedFont(HWND window);
// 32 x 32, hotspot (7, 0).
HCURSOR CreateHandCursor(HINSTANCE instance);
// The right and bottom edges count as outside.
bool IsCursorInClient(HWND window);
