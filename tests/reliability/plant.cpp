// Planted beside tessaro.exe under the names of DLLs that are no KnownDLLs:
// a load leaves "<its path>.loaded" behind.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, void *) {
    char path[MAX_PATH + 8];
    DWORD n = reason == DLL_PROCESS_ATTACH ? GetModuleFileNameA(self, path, MAX_PATH) : 0;
    if (n && n < MAX_PATH) {
        lstrcatA(path, ".loaded");
        CloseHandle(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    return TRUE;
}
