#include "open/shortcut.h"
#include "open/idlist.h"
#include "open/paths.h"
#include "text/bounded.h"
#include "text/heap.h"

namespace {

const CLSID kClsidShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kIidShellLinkA = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kIidPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

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

bool TakeTargetIdList(IShellLinkA *link, LPITEMIDLIST *list) {
    if (!link)
        return false;
    // The stored list is used as it is: the shortcut is never resolved.
    HRESULT hr = link->GetIDList(list);
    link->Release();
    if (hr != S_OK) {
        *list = nullptr;
        return false;
    }
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
    return TakeTargetIdList(LoadShortcut(path), list);
}

bool GetShortcutTargetIdList(const wchar_t *path, LPITEMIDLIST *list) {
    *list = nullptr;
    return TakeTargetIdList(LoadShortcut(path), list);
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
