// File-system tests and the shell's canonical form of a path.
#pragma once
#include <windows.h>
#include <shlobj.h>

// out: kPathCapacity bytes, empty on failure.
bool CanonicalizePath(char *out, const char *path);
// out: kPathCapacity bytes, unchanged on failure.
bool GetPathFromItemList(char *out, LPCITEMIDLIST list);
bool PathExists(const char *path);
bool IsExistingFile(const char *path);
