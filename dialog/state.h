// The association dialog's process-wide state, touched only by its
// handlers on the one user-interface thread.
#pragma once
#include "assoc/settings.h"

#include <windows.h>

extern AssociationSettings LoadedSettings; // installed state, loaded once per dialog
extern DWORD DetailsMask;                  // TypeBits of the rows whose pane is open
extern BYTE PifRowVisible;                 // .pif check box and details button shown
extern RECT LastClientSize;                // right and bottom: client size at the last layout
extern SIZE BaseWindowSize;                // cx: opening width; cy follows the panes
