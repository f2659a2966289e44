// The verb list views: two columns, verb and command, filled once with the
// verbs the shell registers for folders.
#pragma once
#include <windows.h>

bool FillVerbList(HWND list);
bool InsertVerbListColumn(HWND list, int index, int width, const char *text);
bool SetFullRowSelect(HWND list);
// Inserts at the top, so the list shows the reverse of the insertion order.
bool AddVerbListItem(HWND list, const char *verb, const char *command);
// Selects exactly the items whose verb equals verb byte for byte.
bool SelectVerbListItem(HWND list, const char *verb);
int GetSelectedVerbListItem(HWND list);
// text: kCommandCapacity bytes.
bool GetVerbListItemVerb(HWND list, int index, char *text);
