#include "open/paths.h"
#include "text/bounded.h"
#include "text/capacity.h"

bool CanonicalizePath(char *out, const char *path) {
    CopyBounded(kPathCapacity, out, "");
    IMalloc *allocator = nullptr;
    if (SHGetMalloc(&allocator) != S_OK)
        return false;
    IShellFolder *desktop = nullptr;
    if (SHGetDesktopFolder(&desktop) != S_OK) {
        allocator->Release();
        return false;
    }
    // A name that does not fit would reach the parser unterminated.
    WCHAR wide[MAX_PATH];
    bool ok = MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH) > 0;
    LPITEMIDLIST list = nullptr;
    if (ok)
        ok = desktop->ParseDisplayName(nullptr, nullptr, wide, nullptr, &list, nullptr) == S_OK;
    if (ok) {
        ok = GetPathFromItemList(out, list);
        allocator->Free(list);
    }
    desktop->Release();
    allocator->Release();
    if (!ok)
        CopyBounded(kPathCapacity, out, "");
    return ok;
}

bool GetPathFromItemList(char *out, LPCITEMIDLIST list) {
    // The shell may write more than MAX_PATH; it gets room to spare.
    char scratch[65536];
    if (!SHGetPathFromIDListA(list, scratch))
        return false;
    CopyBounded(kPathCapacity, out, scratch);
    return true;
}

bool PathExists(const char *path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool IsExistingFile(const char *path) {
    return PathExists(path) && !(GetFileAttributesA(path) & FILE_ATTRIBUTE_DIRECTORY);
}
