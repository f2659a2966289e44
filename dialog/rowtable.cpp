#include "dialog/rowtable.h"
#include "assoc/filetypes.h"
#include "dialog/resource.h"

const RowControls RowControlTable[kRowCount] = {
    {kTypeKeyLnk, kTypeBitLnk, IDC_LNK_CHECK, IDC_LNK_DETAILS, IDC_LNK_REGKEY, IDC_LNK_REGKEY_LABEL,
     IDC_LNK_MENU, IDC_LNK_MENU_LABEL, IDC_LNK_CMD, IDC_LNK_CMD_LABEL, IDC_LNK_SELECT,
     IDC_LNK_VERBS, IDC_LNK_VERBS_LABEL, IDC_LNK_GROUP},
    {kTypeKeyPif, kTypeBitPif, IDC_PIF_CHECK, IDC_PIF_DETAILS, IDC_PIF_REGKEY, IDC_PIF_REGKEY_LABEL,
     IDC_PIF_MENU, IDC_PIF_MENU_LABEL, IDC_PIF_CMD, IDC_PIF_CMD_LABEL, IDC_PIF_SELECT,
     IDC_PIF_VERBS, IDC_PIF_VERBS_LABEL, IDC_PIF_GROUP},
};

int RowControls::*const RowControlFields[kRowControlCount] = {
    &RowControls::checkbox,    &RowControls::detailsButton, &RowControls::regKeyEdit,
    &RowControls::regKeyLabel, &RowControls::menuEdit,      &RowControls::menuLabel,
    &RowControls::cmdEdit,     &RowControls::cmdLabel,      &RowControls::selectBox,
    &RowControls::verbList,    &RowControls::verbLabel,     &RowControls::groupBox,
};

const RowControls *FindRow(int key) {
    for (const RowControls &row : RowControlTable)
        if (row.key == key)
            return &row;
    return nullptr;
}

bool IsPaneControl(int RowControls::*field) {
    return field != &RowControls::checkbox && field != &RowControls::detailsButton;
}
