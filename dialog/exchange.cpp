#include "dialog/exchange.h"
#include "app/cmdline.h"
#include "assoc/commandline.h"
#include "dialog/rowtable.h"
#include "dialog/selectoption.h"
#include "dialog/state.h"
#include "dialog/verblist.h"
#include "open/args.h"
#include "TOOLS/toolwind.h"
#include "text/bounded.h"
#include "text/heap.h"

#include <commctrl.h>

namespace {

// The verb that an installed command line names, if it splits at all.
void SelectInstalledVerb(HWND list, const char *commandLine) {
    int argc = 0;
    char **argv = SplitCommandLine(commandLine, &argc);
    if (!argv)
        return;
    char verb[kCommandCapacity];
    ExtractVerbOption(verb, argc, argv);
    SelectVerbListItem(list, verb);
    MemFree(argv);
}

void SetItemTextIfValid(HWND dialog, int id, const char *text) {
    if (IsValidDlgItem(dialog, id))
        SetDlgItemTextA(dialog, id, text);
}

void GetItemTextIfValid(HWND dialog, int id, char *text, int capacity) {
    if (IsValidDlgItem(dialog, id))
        GetDlgItemTextA(dialog, id, text, capacity);
}

} // namespace

bool UpdateSelectBox(HWND dialog, const RowControls &row, bool edit) {
    if (!IsValidDlgItem(dialog, row.selectBox) || !IsValidDlgItem(dialog, row.cmdEdit))
        return false;
    char line[kCommandCapacity];
    GetDlgItemTextA(dialog, row.cmdEdit, line, sizeof line);
    int change = kSelectRead;
    if (edit)
        change = IsDlgButtonChecked(dialog, row.selectBox) == BST_CHECKED;
    bool ticked = EditSelectOption(line, change);
    if (edit)
        SetDlgItemTextA(dialog, row.cmdEdit, line);
    // A line that could not take the option leaves the box as the text says.
    CheckDlgButton(dialog, row.selectBox, ticked ? BST_CHECKED : BST_UNCHECKED);
    return true;
}

bool FillDialogControls(HWND dialog, const AssociationSettings *settings) {
    for (const RowControls &row : RowControlTable) {
        const AssociationEntry &entry = settings->entries[FileTypeIndex(row.key)];
        bool wanted = (settings->installedTypes & row.bit) != 0;
        if (IsValidDlgItem(dialog, row.checkbox)) {
            EnableRowControls(dialog, row.key, wanted);
            CheckDlgButton(dialog, row.checkbox, wanted ? BST_CHECKED : BST_UNCHECKED);
        } else {
            EnableRowControls(dialog, row.key, false);
        }
        SetItemTextIfValid(dialog, row.regKeyEdit, entry.registrationKey);
        SetItemTextIfValid(dialog, row.menuEdit, entry.menuText);
        SetItemTextIfValid(dialog, row.cmdEdit, entry.commandLine);
        // The new text's EN_CHANGE sets the select box (OnCommand).
        if (IsValidDlgItem(dialog, row.verbList))
            SelectInstalledVerb(GetDlgItem(dialog, row.verbList), entry.commandLine);
    }
    return true;
}

bool CollectDialogControls(HWND dialog, AssociationSettings *settings) {
    settings->installedTypes = 0;
    for (const RowControls &row : RowControlTable) {
        AssociationEntry &entry = settings->entries[FileTypeIndex(row.key)];
        const AssociationEntry &loaded = LoadedSettings.entries[FileTypeIndex(row.key)];
        if (IsValidDlgItem(dialog, row.checkbox) &&
            IsDlgButtonChecked(dialog, row.checkbox) == BST_CHECKED)
            settings->installedTypes |= row.bit;
        CopyBounded(sizeof entry.menuText, entry.menuText, loaded.menuText);
        CopyBounded(sizeof entry.commandLine, entry.commandLine, loaded.commandLine);
        CopyBounded(sizeof entry.registrationKey, entry.registrationKey, loaded.registrationKey);
        GetItemTextIfValid(dialog, row.regKeyEdit, entry.registrationKey,
                           sizeof entry.registrationKey);
        GetItemTextIfValid(dialog, row.menuEdit, entry.menuText, sizeof entry.menuText);
        GetItemTextIfValid(dialog, row.cmdEdit, entry.commandLine, sizeof entry.commandLine);
    }
    return true;
}

bool EnableRowControls(HWND dialog, int key, bool enable) {
    const RowControls *row = FindRow(key);
    if (!row)
        return true;
    for (int RowControls::*field : RowControlFields)
        if (IsPaneControl(field) && IsValidDlgItem(dialog, row->*field))
            EnableDlgItem(dialog, row->*field, enable);
    return true;
}

bool OnVerbListDoubleClick(HWND dialog, const NMHDR *header) {
    if (header->code != static_cast<UINT>(NM_DBLCLK))
        return false;
    for (const RowControls &row : RowControlTable) {
        if (static_cast<UINT_PTR>(row.verbList) != header->idFrom ||
            !IsValidDlgItem(dialog, row.cmdEdit))
            continue;
        HWND list = header->hwndFrom;
        // Read before the new text unticks it; a missing box reads unticked.
        bool select = IsDlgButtonChecked(dialog, row.selectBox) == BST_CHECKED;
        char commandLine[kCommandCapacity];
        int selected = GetSelectedVerbListItem(list);
        if (selected != -1) {
            char verb[kCommandCapacity];
            GetVerbListItemVerb(list, selected, verb);
            BuildCommandLine(commandLine, verb);
        } else {
            BuildCommandLine(commandLine, nullptr);
        }
        if (select)
            EditSelectOption(commandLine, kSelectAdd);
        SetDlgItemTextA(dialog, row.cmdEdit, commandLine);
        return true;
    }
    return true;
}

bool OnOK(HWND dialog) {
    // About 67 KB: kept out of the stack. One dialog runs at a time.
    static AssociationSettings collected;
    CollectDialogControls(dialog, &collected);
    uint32_t changed = CompareAssociationSettings(&collected, &LoadedSettings);
    ApplyAssociationSettings(&collected, changed);
    EndDialog(dialog, IDOK);
    return true;
}

bool OnCancel(HWND dialog) {
    EndDialog(dialog, IDCANCEL);
    return true;
}
