// The /select option: each folder opens once, with its targets selected.
#pragma once
#include "open/args.h"

#include <windows.h>
#include <shlobj.h>

// The shell's SHOpenFolderAndSelectItems. shell32 exports it from Windows XP
// on; the lookup at run time keeps older systems able to start the program.
typedef HRESULT(WINAPI *SelectItemsFunction)(LPCITEMIDLIST folder, UINT count,
                                             const LPCITEMIDLIST *children, DWORD flags);
// Null where the system lacks it. Kept in a file of its own so that a test
// build can stand in for a system without it.
SelectItemsFunction FindSelectItems();

// Opens the folder of every shortcut's target once, the targets that share
// it selected; a folder the shell cannot select in opens with the verb.
bool OpenAndSelectTargets(int count, PathList paths, const char *verb, WidePathList wide = nullptr);
