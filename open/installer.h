// Where Windows Installer put the target of an advertised shortcut.
#pragma once
#include <windows.h>
#include <shlobj.h>

// The item list of the installed file or folder that the shortcut's
// descriptor names, or null where Windows Installer is missing, does not
// know the product or has not installed the component locally. Freed with
// the shell's allocator.
LPITEMIDLIST GetInstalledTargetIdList(const char *shortcut);
LPITEMIDLIST GetInstalledTargetIdList(const wchar_t *shortcut);
// Unloads Windows Installer if a lookup loaded it.
void FreeInstaller();
