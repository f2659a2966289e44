#include "open/shortcut.h"
#include "open/idlist.h"
#include "open/installer.h"
#include "open/paths.h"
#include "text/bounded.h"
#include "text/capacity.h"
#include "text/heap.h"
#include "text/library.h"

#include <shlwapi.h>

namespace {

const CLSID kClsidShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kIidShellLinkA = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kIidPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kIidShellLinkW = {0x000214F9, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kIidShellLinkDataList = {
    0x45E2B4AE, 0xB1C3, 0x11D0, {0xB9, 0x2F, 0x00, 0xA0, 0xC9, 0x03, 0x12, 0xE1}};

} // namespace

bool OpenTargetFolders(int count, PathList paths, const char *verb, WidePathList wide) {
    IMalloc *allocator = nullptr;
    if (SHGetMalloc(&allocator) != S_OK)
        return false;
    for (int i = 0; i < count; ++i) {
        LPITEMIDLIST target = nullptr;
        if (!GetListedTargetIdList(paths, wide, i, &target))
            continue;
        OpenParentFolder(allocator, target, verb);
        allocator->Free(target);
    }
    allocator->HeapMinimize();
    allocator->Release();
    return true;
}

namespace {

// The interface dates from shell32 4.71 but GetFlags only from 5.0: an
// older table may end before it. Windows Installer came with 5.0 anyway.
bool ShellHasLinkFlags() {
    DLLVERSIONINFO version;
    ZeroFill(sizeof version, &version);
    version.cbSize = sizeof version;
    auto get = FindExport<DLLGETVERSIONPROC>(GetModuleHandleA("shell32.dll"), "DllGetVersion");
    return get && get(&version) == S_OK && version.dwMajorVersion >= 5;
}

// Windows Installer's shortcuts carry the flag; a shell without the
// interface has none of them.
bool IsAdvertised(IShellLinkA *link) {
    IShellLinkDataList *data = nullptr;
    if (!ShellHasLinkFlags() ||
        link->QueryInterface(kIidShellLinkDataList, reinterpret_cast<void **>(&data)) != S_OK)
        return false;
    DWORD flags = 0;
    bool advertised = data->GetFlags(&flags) == S_OK && (flags & SLDF_HAS_DARWINID);
    data->Release();
    return advertised;
}

// A shortcut saved without an item list may still hold a path (on Windows
// with its environment variables expanded); a target that is gone fails to
// parse.
LPITEMIDLIST ParseLinkPath(IShellLinkA *link, const char *) {
    char path[kPathCapacity];
    if (link->GetPath(path, sizeof path, nullptr, 0) != S_OK)
        return nullptr;
    return ParseAbsolutePath(path);
}

// A shortcut reached by its UTF-16 name may hold a path that the code page
// cannot spell either.
LPITEMIDLIST ParseLinkPath(IShellLinkA *link, const wchar_t *) {
    IShellLinkW *wide = nullptr;
    if (link->QueryInterface(kIidShellLinkW, reinterpret_cast<void **>(&wide)) != S_OK)
        return nullptr;
    wchar_t path[kWidePathCapacity];
    LPITEMIDLIST list = wide->GetPath(path, kWidePathCapacity, nullptr, 0) == S_OK
                            ? ParseAbsolutePath(path)
                            : nullptr;
    wide->Release();
    return list;
}

template <typename Char>
bool TakeTargetIdList(IShellLinkA *link, const Char *path, LPITEMIDLIST *list) {
    if (!link)
        return false;
    // An advertised shortcut stores the list of an icon in the installer's
    // cache: only Windows Installer knows where the program lives.
    *list = IsAdvertised(link) ? GetInstalledTargetIdList(path) : nullptr;
    // Otherwise the stored list is used as it is: the shortcut is never
    // resolved.
    if (!*list && link->GetIDList(list) != S_OK)
        *list = nullptr;
    if (!*list)
        *list = ParseLinkPath(link, path);
    link->Release();
    return *list != nullptr;
}

} // namespace

bool GetListedTargetIdList(PathList paths, WidePathList wide, int i, LPITEMIDLIST *list) {
    // Directories, and files gone since the list was built, are skipped.
    if (wide && wide[i])
        return IsExistingFile(wide[i]) && GetShortcutTargetIdList(wide[i], list);
    return IsExistingFile(paths[i]) && GetShortcutTargetIdList(paths[i], list);
}

bool GetShortcutTargetIdList(const char *path, LPITEMIDLIST *list) {
    *list = nullptr;
    return TakeTargetIdList(LoadShortcut(path), path, list);
}

bool GetShortcutTargetIdList(const wchar_t *path, LPITEMIDLIST *list) {
    *list = nullptr;
    return TakeTargetIdList(LoadShortcut(path), path, list);
}

IShellLinkA *CreateShellLink() {
    IShellLinkA *link = nullptr;
    if (CoCreateInstance(kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER, kIidShellLinkA,
                         reinterpret_cast<void **>(&link)) != S_OK)
        return nullptr;
    return link;
}

bool LoadLinkFile(IShellLinkA *link, const WCHAR *path) {
    IPersistFile *file = nullptr;
    if (link->QueryInterface(kIidPersistFile, reinterpret_cast<void **>(&file)) != S_OK)
        return false;
    bool ok = file->Load(path, STGM_READ) == S_OK;
    file->Release();
    return ok;
}

// The shell link object reads UTF-16 names anyway; this one needs no
// conversion.
IShellLinkA *LoadShortcut(const wchar_t *path) {
    IShellLinkA *link = CreateShellLink();
    if (link && !LoadLinkFile(link, path)) {
        link->Release();
        return nullptr;
    }
    return link;
}

IShellLinkA *LoadShortcut(const char *path) {
    IShellLinkA *link = CreateShellLink();
    if (!link)
        return nullptr;
    int n = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    WCHAR *wide = n > 0 ? static_cast<WCHAR *>(MemAlloc(2 * static_cast<size_t>(n) + 2)) : nullptr;
    bool ok = false;
    if (wide) {
        MultiByteToWideChar(CP_ACP, 0, path, -1, wide, n);
        ok = LoadLinkFile(link, wide);
        MemFree(wide);
    }
    if (!ok) {
        link->Release();
        return nullptr;
    }
    return link;
}

bool OpenParentFolder(IMalloc *allocator, LPCITEMIDLIST list, const char *verb) {
    LPITEMIDLIST parent = CopyParentIdList(allocator, list);
    if (!parent)
        return false;
    ExecuteIdList(parent, verb);
    allocator->Free(parent);
    return true;
}

LPITEMIDLIST CopyParentIdList(IMalloc *allocator, LPCITEMIDLIST list) {
    size_t last = LastIdListItemOffset(list);
    void *block = allocator->Alloc(last + 2);
    if (!block)
        return nullptr;
    WriteParentIdList(block, list, last);
    return static_cast<LPITEMIDLIST>(block);
}

bool ExecuteIdList(LPCITEMIDLIST list, const char *verb) {
    SHELLEXECUTEINFOA info;
    ZeroFill(sizeof info, &info);
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_IDLIST;
    info.lpVerb = verb;
    info.nShow = SW_SHOWNORMAL;
    info.lpIDList = const_cast<LPITEMIDLIST>(list);
    ShellExecuteExA(&info);
    return reinterpret_cast<INT_PTR>(info.hInstApp) > 32;
}
