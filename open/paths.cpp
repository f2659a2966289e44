#include "open/paths.h"
#include "text/bounded.h"
#include "text/capacity.h"
#include "text/library.h"

#include <string.h>
#include <wchar.h>

namespace {

// Windows 95 to Me lack the wide functions or only stub them, and give no
// UTF-16 text to use them on: they are looked up, and called only on NT.
DWORD GetAttributes(const wchar_t *path) {
    typedef DWORD(WINAPI * Function)(LPCWSTR);
    auto get = FindExport<Function>(GetModuleHandleA("kernel32.dll"), "GetFileAttributesW");
    return get ? get(path) : INVALID_FILE_ATTRIBUTES;
}

// Parses path, or widePath where path is null (it was never in the code
// page), in a MAX_PATH buffer: a longer UTF-16 name is refused before it
// comes here. The item list's path goes to out or wideOut, or the list
// itself to *kept, for the caller to free with the shell's allocator.
bool ParseName(const char *path, const wchar_t *widePath, char *out, wchar_t *wideOut,
               LPITEMIDLIST *kept) {
    IMalloc *allocator = nullptr;
    if (SHGetMalloc(&allocator) != S_OK)
        return false;
    IShellFolder *desktop = nullptr;
    if (SHGetDesktopFolder(&desktop) != S_OK) {
        allocator->Release();
        return false;
    }
    WCHAR wide[MAX_PATH];
    bool ok = true;
    if (path)
        ok = MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH) > 0;
    else
        memcpy(wide, widePath, (wcslen(widePath) + 1) * sizeof(WCHAR));
    LPITEMIDLIST list = nullptr;
    if (ok)
        ok = desktop->ParseDisplayName(nullptr, nullptr, wide, nullptr, &list, nullptr) == S_OK;
    if (ok && kept) {
        *kept = list;
    } else if (ok) {
        ok = out ? GetPathFromItemList(out, list) : GetPathFromItemList(wideOut, list);
        allocator->Free(list);
    }
    desktop->Release();
    allocator->Release();
    return ok;
}

bool Fits(const wchar_t *path) {
    return wcslen(path) < MAX_PATH;
}

template <typename Char> bool IsAbsolute(const Char *path) {
    bool drive =
        ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z') && path[1] == ':' && path[2] == '\\';
    return drive || (path[0] == '\\' && path[1] == '\\');
}

} // namespace

bool CanonicalizePath(char *out, const char *path) {
    CopyBounded(kPathCapacity, out, "");
    bool ok = ParseName(path, nullptr, out, nullptr, nullptr);
    if (!ok)
        CopyBounded(kPathCapacity, out, "");
    return ok;
}

bool CanonicalizePath(wchar_t *out, const wchar_t *path) {
    out[0] = L'\0';
    // Writes out only on success, so a failure leaves it empty.
    return Fits(path) && ParseName(nullptr, path, nullptr, out, nullptr);
}

LPITEMIDLIST ParseAbsolutePath(const char *path) {
    LPITEMIDLIST list = nullptr;
    return IsAbsolute(path) && ParseName(path, nullptr, nullptr, nullptr, &list) ? list : nullptr;
}

LPITEMIDLIST ParseAbsolutePath(const wchar_t *path) {
    LPITEMIDLIST list = nullptr;
    bool ok = IsAbsolute(path) && Fits(path) && ParseName(nullptr, path, nullptr, nullptr, &list);
    return ok ? list : nullptr;
}

bool GetPathFromItemList(char *out, LPCITEMIDLIST list) {
    // The shell may write more than MAX_PATH; it gets room to spare.
    char scratch[65536];
    if (!SHGetPathFromIDListA(list, scratch))
        return false;
    CopyBounded(kPathCapacity, out, scratch);
    return true;
}

bool GetPathFromItemList(wchar_t *out, LPCITEMIDLIST list) {
    typedef BOOL(WINAPI * Function)(LPCITEMIDLIST, LPWSTR);
    auto get = FindExport<Function>(GetModuleHandleA("shell32.dll"), "SHGetPathFromIDListW");
    WCHAR scratch[32768];
    if (!get || !get(list, scratch))
        return false;
    // A path cut short would name another object, or none: it is refused.
    size_t length = wcslen(scratch);
    if (length >= kWidePathCapacity)
        return false;
    memcpy(out, scratch, (length + 1) * sizeof(WCHAR));
    return true;
}

bool PathExists(const char *path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool PathExists(const wchar_t *path) {
    return GetAttributes(path) != INVALID_FILE_ATTRIBUTES;
}

bool IsExistingFile(const char *path) {
    return PathExists(path) && !(GetFileAttributesA(path) & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsExistingFile(const wchar_t *path) {
    DWORD attributes = GetAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
