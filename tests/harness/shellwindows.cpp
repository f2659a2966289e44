#include "harness/shellwindows.h"

#include <exdisp.h>
#include <oleauto.h>
#include <shlobj.h>

bool WaitForShellWindow(const char *path, DWORD ms) {
    WCHAR wide[MAX_PATH];
    LPITEMIDLIST pidl = nullptr;
    IShellWindows *windows = nullptr;
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH) ||
        SHParseDisplayName(wide, nullptr, &pidl, 0, nullptr) != S_OK)
        return false;
    // The folder goes by its item list, as a byte array, the way the shell
    // itself asks.
    VARIANT location, root;
    VariantInit(&location);
    VariantInit(&root);
    UINT size = ILGetSize(pidl);
    location.vt = VT_ARRAY | VT_UI1;
    location.parray = SafeArrayCreateVector(VT_UI1, 0, size);
    bool found = false;
    if (location.parray &&
        CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows,
                         reinterpret_cast<void **>(&windows)) == S_OK) {
        memcpy(location.parray->pvData, pidl, size);
        DWORD end = GetTickCount() + ms;
        do {
            LONG hwnd = 0;
            IDispatch *dispatch = nullptr;
            found =
                windows->FindWindowSW(&location, &root, SWC_EXPLORER, &hwnd, 0, &dispatch) == S_OK;
            if (dispatch)
                dispatch->Release();
            if (!found)
                Sleep(100);
        } while (!found && static_cast<LONG>(end - GetTickCount()) > 0);
        windows->Release();
    }
    VariantClear(&location);
    CoTaskMemFree(pidl);
    return found;
}
