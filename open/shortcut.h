// Loading a shortcut and opening the folder that holds its target.
#pragma once
#include "open/args.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

bool OpenTargetFolders(int count, PathList paths, const char *verb, WidePathList wide = nullptr);
// Entry i's target, by its UTF-16 path where the entry has one; false for a
// directory or a file that is no loadable shortcut.
bool GetListedTargetIdList(PathList paths, WidePathList wide, int i, LPITEMIDLIST *list);
bool GetShortcutTargetIdList(const char *path, LPITEMIDLIST *list);
bool GetShortcutTargetIdList(const wchar_t *path, LPITEMIDLIST *list);
IShellLinkA *LoadShortcut(const char *path);
IShellLinkA *LoadShortcut(const wchar_t *path);
IShellLinkA *CreateShellLink();
bool LoadLinkFile(IShellLinkA *link, const WCHAR *path);
bool OpenParentFolder(IMalloc *allocator, LPCITEMIDLIST list, const char *verb);
LPITEMIDLIST CopyParentIdList(IMalloc *allocator, LPCITEMIDLIST list);
bool ExecuteIdList(LPCITEMIDLIST list, const char *verb);
