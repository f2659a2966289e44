// The lookup by which the shell finds a folder's open window before it
// selects in it: a window exists some time before it is registered there.
#pragma once
#include <windows.h>

// Waits until the shell's list of its windows holds an explorer window of
// the folder at `path` (CP932), or ms pass.
bool WaitForShellWindow(const char *path, DWORD ms);
