// DLLs that are not among the system's KnownDLLs, named by their full path
// in the system folder: by a bare name Windows looks for them beside the
// program first (and, before XP SP2, in the current folder), so a file
// planted there would run inside tessaro, elevated where the dialog is.
#pragma once
#include <windows.h>

// Null where the system folder's path does not fit or the DLL is missing.
HMODULE LoadSystemLibrary(const char *name);

// An export found at run time, so that the import table stays one that
// every Windows loads; null where the module lacks it.
template <typename Function> Function FindExport(HMODULE module, const char *name) {
    return reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(module, name)));
}

// A DLL loaded at its first use and kept until FreeSystemLibrary. Zero
// initialised, so it needs no data section; the name is passed with each
// call for the same reason.
struct SystemLibrary {
    HMODULE module;
    bool looked;
};
HMODULE LoadSystemLibrary(SystemLibrary *library, const char *name);
template <typename Function>
Function FindSystemFunction(SystemLibrary *library, const char *name, const char *function) {
    HMODULE module = LoadSystemLibrary(library, name);
    return module ? FindExport<Function>(module, function) : nullptr;
}
void FreeSystemLibrary(SystemLibrary *library);
