// File-system tests and the shell's canonical form of a path, in the code
// page and, for what it cannot spell, in UTF-16 (on NT only).
#pragma once
#include <windows.h>
#include <shlobj.h>

// out: kPathCapacity bytes, empty on failure.
bool CanonicalizePath(char *out, const char *path);
// out: kWidePathCapacity units, empty on failure.
bool CanonicalizePath(wchar_t *out, const wchar_t *path);
// out: kPathCapacity bytes, unchanged on failure.
bool GetPathFromItemList(char *out, LPCITEMIDLIST list);
// out: kWidePathCapacity units; a longer path fails.
bool GetPathFromItemList(wchar_t *out, LPCITEMIDLIST list);
bool PathExists(const char *path);
bool PathExists(const wchar_t *path);
bool IsExistingFile(const char *path);
bool IsExistingFile(const wchar_t *path);
