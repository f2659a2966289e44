// The key whose subkeys are the verbs the shell offers for folders.
#pragma once
#include <windows.h>

// The shell key of the class that "folder" names, else "folder\shell".
// The caller closes the key.
bool OpenFolderShellKey(HKEY *key);
