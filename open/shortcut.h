// Loading a shortcut and opening the folder that holds its target.
#pragma once
#include "open/args.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

bool OpenTargetFolders(int count, PathList paths, const char *verb);
bool GetShortcutTargetIdList(const char *path, LPITEMIDLIST *list);
IShellLinkA *LoadShortcut(const char *path);
IShellLinkA *CreateShellLink();
bool LoadLinkFile(IShellLinkA *link, const WCHAR *path);
bool OpenParentFolder(IMalloc *allocator, LPCITEMIDLIST list, const char *verb);
LPITEMIDLIST CopyParentIdList(IMalloc *allocator, LPCITEMIDLIST list);
bool ExecuteIdList(LPCITEMIDLIST list, const char *verb);
