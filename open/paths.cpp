#include "open/paths.h"
#include "text/bounded.h"
#include "text/capacity.h"

#include <string.h>
#include <wchar.h>

namespace {

// Windows 95 to Me lack the wide functions or only stub them, and give no
// UTF-16 text to use them on: they are looked up, and called only on NT.
void *FindExport(const char *module, const char *name) {
    HMODULE handle = GetModuleHandleA(module); // both are imports, so loaded
    return handle ? reinterpret_cast<void *>(GetProcAddress(handle, name)) : nullptr;
}

DWORD GetAttributes(const wchar_t *path) {
    typedef DWORD(WINAPI * Function)(LPCWSTR);
    Function get = reinterpret_cast<Function>(FindExport("kernel32.dll", "GetFileAttributesW"));
    return get ? get(path) : INVALID_FILE_ATTRIBUTES;
}

// Parses the name that fill writes into a MAX_PATH buffer and hands the
// item list to take, which frees it or keeps it. A name that does not fit
// would reach the parser unterminated.
template <typename Fill, typename Take> bool ParseName(Fill fill, Take take) {
    IMalloc *allocator = nullptr;
    if (SHGetMalloc(&allocator) != S_OK)
        return false;
    IShellFolder *desktop = nullptr;
    if (SHGetDesktopFolder(&desktop) != S_OK) {
        allocator->Release();
        return false;
    }
    WCHAR wide[MAX_PATH];
    bool ok = fill(wide);
    LPITEMIDLIST list = nullptr;
    if (ok)
        ok = desktop->ParseDisplayName(nullptr, nullptr, wide, nullptr, &list, nullptr) == S_OK;
    if (ok)
        ok = take(allocator, list);
    desktop->Release();
    allocator->Release();
    return ok;
}

auto FromCodePage(const char *path) {
    return [path](WCHAR *wide) {
        return MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH) > 0;
    };
}

// The path itself goes to the parser: it was never in the code page.
auto FromUtf16(const wchar_t *path, size_t size) {
    return [path, size](WCHAR *wide) {
        memcpy(wide, path, size);
        return true;
    };
}

template <typename Char> auto IntoPath(Char *out) {
    return [out](IMalloc *allocator, LPITEMIDLIST list) {
        bool ok = GetPathFromItemList(out, list);
        allocator->Free(list);
        return ok;
    };
}

template <typename Char> bool IsAbsolute(const Char *path) {
    bool drive =
        ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z') && path[1] == ':' && path[2] == '\\';
    return drive || (path[0] == '\\' && path[1] == '\\');
}

template <typename Fill> LPITEMIDLIST ParseToList(Fill fill) {
    LPITEMIDLIST kept = nullptr;
    ParseName(fill, [&kept](IMalloc *, LPITEMIDLIST list) {
        kept = list;
        return true;
    });
    return kept;
}

} // namespace

bool CanonicalizePath(char *out, const char *path) {
    CopyBounded(kPathCapacity, out, "");
    bool ok = ParseName(FromCodePage(path), IntoPath(out));
    if (!ok)
        CopyBounded(kPathCapacity, out, "");
    return ok;
}

bool CanonicalizePath(wchar_t *out, const wchar_t *path) {
    out[0] = L'\0';
    size_t size = (wcslen(path) + 1) * sizeof(WCHAR);
    if (size > sizeof(WCHAR[MAX_PATH]))
        return false;
    // Writes out only on success, so a failure leaves it empty.
    return ParseName(FromUtf16(path, size), IntoPath(out));
}

LPITEMIDLIST ParseAbsolutePath(const char *path) {
    return IsAbsolute(path) ? ParseToList(FromCodePage(path)) : nullptr;
}

LPITEMIDLIST ParseAbsolutePath(const wchar_t *path) {
    size_t size = (wcslen(path) + 1) * sizeof(WCHAR);
    if (!IsAbsolute(path) || size > sizeof(WCHAR[MAX_PATH]))
        return nullptr;
    return ParseToList(FromUtf16(path, size));
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
    Function get = reinterpret_cast<Function>(FindExport("shell32.dll", "SHGetPathFromIDListW"));
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
