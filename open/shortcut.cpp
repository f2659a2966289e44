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

bool OpenTargetFolders(int count, PathList paths, const char *verb) {
    IMalloc *allocator = nullptr;
    if (SHGetMalloc(&allocator) != S_OK)
        return false;
    for (int i = 0; i < count; ++i) {
        // Directories, and files gone since the list was built, are skipped.
        if (!IsExistingFile(paths[i]))
            continue;
        LPITEMIDLIST target = nullptr;
        if (!GetShortcutTargetIdList(paths[i], &target))
            continue;
        OpenParentFolder(allocator, target, verb);
        allocator->Free(target);
    }
    allocator->HeapMinimize();
    allocator->Release();
    return true;
}

bool GetShortcutTargetIdList(const char *path, LPITEMIDLIST *list) {
    *list = nullptr;
    IShellLinkA *link = LoadShortcut(path);
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
