#include "app/modes.h"
#include "text/library.h"

#include <windows.h>

namespace {

// Only NT keeps the command line in UTF-16; the code page's copy may not
// spell every name in it. Windows 95 to Me have no such text to give, and
// the function is looked up so that they need not have it either.
const wchar_t *UnicodeCommandLine() {
    if (GetVersion() & 0x80000000u)
        return nullptr;
    typedef LPWSTR(WINAPI * Function)();
    auto get = FindExport<Function>(GetModuleHandleA("kernel32.dll"), "GetCommandLineW");
    return get ? get() : nullptr;
}

// Takes the current folder out of the search for DLLs that the shell or
// COM load on tessaro's behalf by a bare name; when the shell runs the
// command, that folder is the shortcut's. XP SP1 and later have it.
void LeaveCurrentFolderOutOfDllSearch() {
    typedef BOOL(WINAPI * Function)(LPCSTR);
    auto set = FindExport<Function>(GetModuleHandleA("kernel32.dll"), "SetDllDirectoryA");
    if (set)
        set("");
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    LeaveCurrentFolderOutOfDllSearch();
    return RunTessaro(GetCommandLineA(), UnicodeCommandLine());
}
