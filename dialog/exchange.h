// Settings record <-> dialog controls, and the OK and Cancel commands.
// A control the dialog lacks is skipped (IsValidDlgItem traces it).
#pragma once
#include "assoc/settings.h"

#include <windows.h>

struct RowControls;

bool FillDialogControls(HWND dialog, const AssociationSettings *settings);
// Texts of missing controls keep LoadedSettings' values; installedTypes
// holds only the types whose check box exists and is ticked.
bool CollectDialogControls(HWND dialog, AssociationSettings *settings);
// Every control of the row but its check box and details button.
bool EnableRowControls(HWND dialog, int key, bool enable);
// The select box shows whether the command line, as split, holds /select;
// with edit, the box's state is first put into the command line.
bool UpdateSelectBox(HWND dialog, const RowControls &row, bool edit);
// False for codes other than NM_DBLCLK; a ticked select box keeps /select.
bool OnVerbListDoubleClick(HWND dialog, const NMHDR *header);
bool OnOK(HWND dialog);
bool OnCancel(HWND dialog);
