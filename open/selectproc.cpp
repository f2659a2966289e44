#include "open/select.h"

SelectItemsFunction FindSelectItems() {
    // shell32 is among the imports, so it is loaded already.
    HMODULE shell = GetModuleHandleA("shell32.dll");
    if (!shell)
        return nullptr;
    return reinterpret_cast<SelectItemsFunction>(
        reinterpret_cast<void *>(GetProcAddress(shell, "SHOpenFolderAndSelectItems")));
}
