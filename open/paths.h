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
// The shell's item list of a path that starts with a drive or a UNC
// server; null for any other path or where the parser fails (the object is
// gone). Freed with the shell's allocator.
LPITEMIDLIST ParseAbsolutePath(const char *path);
LPITEMIDLIST ParseAbsolutePath(const wchar_t *path);
