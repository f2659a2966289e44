#include "dialog/verblist.h"
#include "assoc/foldershell.h"
#include "assoc/registry.h"
#include "text/bounded.h"
#include "text/capacity.h"
#include "TOOLS/toolwind.h"

#include <commctrl.h>

bool SetFullRowSelect(HWND list) {
    LRESULT style = SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style | LVS_EX_FULLROWSELECT);
    return true;
}

bool InsertVerbListColumn(HWND list, int index, int width, const char *text) {
    LVCOLUMNA column;
    ZeroFill(sizeof column, &column);
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<char *>(text);
    column.iSubItem = index;
    return SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column)) >= 0;
}

namespace {

void SetItemText(HWND list, int index, int subItem, const char *text) {
    LVITEMA item;
    ZeroFill(sizeof item, &item);
    item.iSubItem = subItem;
    item.pszText = const_cast<char *>(text);
    SendMessageA(list, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
}

// One verb: its key, its "command" key and that key's value must all read.
void AddVerbFromKey(HWND list, HKEY verbs, const char *name) {
    HKEY verb;
    if (!OpenRegKey(verbs, name, &verb))
        return;
    HKEY command;
    if (OpenRegKey(verb, "command", &command)) {
        char value[kCommandCapacity];
        if (ReadRegDefaultValue(command, value, sizeof value))
            AddVerbListItem(list, name, value);
        CloseRegKey(command);
    }
    CloseRegKey(verb);
}

} // namespace

bool AddVerbListItem(HWND list, const char *verb, const char *command) {
    LVITEMA item;
    ZeroFill(sizeof item, &item);
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    SetItemText(list, 0, 0, verb);
    SetItemText(list, 0, 1, command);
    return true;
}

bool FillVerbList(HWND list) {
    SetFullRowSelect(list);
    // 60 and 256 pixels at 96 DPI, in the units the dialog scales by.
    HWND dialog = GetParent(list);
    InsertVerbListColumn(list, 0, DialogUnitsToPixelsX(dialog, 34), "verb");
    InsertVerbListColumn(list, 1, DialogUnitsToPixelsX(dialog, 146), "cmdline");
    HKEY verbs;
    if (!OpenFolderShellKey(&verbs))
        return true;
    char name[kCommandCapacity];
    for (DWORD i = 0; EnumRegSubkeyName(verbs, i, name); ++i)
        AddVerbFromKey(list, verbs, name);
    CloseRegKey(verbs);
    return true;
}

bool GetVerbListItemVerb(HWND list, int index, char *text) {
    LVITEMA item;
    ZeroFill(sizeof item, &item);
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = kCommandCapacity;
    text[0] = '\0';
    SendMessageA(list, LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
    return true;
}

bool SelectVerbListItem(HWND list, const char *verb) {
    int index = -1;
    while ((index = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, index, LVNI_ALL))) != -1) {
        char text[kCommandCapacity];
        GetVerbListItemVerb(list, index, text);
        LVITEMA item;
        ZeroFill(sizeof item, &item);
        item.stateMask = LVIS_SELECTED;
        item.state = StrEqual(text, verb) ? LVIS_SELECTED : 0;
        SendMessageA(list, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
    }
    return true;
}

int GetSelectedVerbListItem(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
}
