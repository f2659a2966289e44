// Which controls belong to which file-type row. Every per-row loop of the
// dialog walks RowControlTable in order (.lnk, then .pif), and every loop
// over a row's controls walks RowControlFields: no code names a file type.
#pragma once
#include <stddef.h>

struct RowControls {
    int key;
    int bit;
    int checkbox;
    int detailsButton;
    int regKeyEdit;
    int regKeyLabel;
    int menuEdit;
    int menuLabel;
    int cmdEdit;
    int cmdLabel;
    int selectBox; // ticked while the command line holds /select
    int verbList;
    int verbLabel;
    int groupBox;
};

enum { kRowCount = 2, kRowControlCount = 12 };

extern const RowControls RowControlTable[kRowCount];
// The row's control list, from checkbox to groupBox.
extern int RowControls::*const RowControlFields[kRowControlCount];

// The row whose key matches, or null.
const RowControls *FindRow(int key);
// The pane's controls: the row's list without its check box and details button.
bool IsPaneControl(int RowControls::*field);
