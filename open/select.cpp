#include "open/select.h"
#include "open/idlist.h"
#include "open/shortcut.h"
#include "text/heap.h"

namespace {

// leader: the index of the first target in the same folder. Only a leader
// keeps its parent list; the others free theirs once compared.
struct Target {
    LPITEMIDLIST full;
    LPITEMIDLIST parent;
    int leader;
};

// All targets of a run and the children array of the group being opened,
// in one block: the only allocation of the run.
struct TargetSet {
    Target *targets;
    LPCITEMIDLIST *children;
    int count;
};

// The shell decides: two lists in different bytes may name one folder.
bool SameItem(IShellFolder *desktop, LPCITEMIDLIST a, LPCITEMIDLIST b) {
    HRESULT hr = desktop->CompareIDs(0, a, b);
    return SUCCEEDED(hr) && static_cast<short>(HRESULT_CODE(hr)) == 0;
}

// The last item, relative to the folder; null when the target is the desktop.
LPCITEMIDLIST ChildOf(LPCITEMIDLIST full) {
    const BYTE *child = reinterpret_cast<const BYTE *>(full) + LastIdListItemOffset(full);
    return child[0] || child[1] ? reinterpret_cast<LPCITEMIDLIST>(child) : nullptr;
}

int FindLeader(IShellFolder *desktop, const TargetSet &set, LPCITEMIDLIST parent) {
    for (int i = 0; i < set.count; ++i) {
        if (set.targets[i].leader == i && SameItem(desktop, set.targets[i].parent, parent))
            return i;
    }
    return set.count;
}

// False only when the block cannot be had; it is taken at the first
// loadable shortcut, so a run that finds none allocates nothing.
bool LoadTargets(IMalloc *allocator, IShellFolder *desktop, int count, PathList paths,
                 WidePathList wide, TargetSet *set) {
    for (int i = 0; i < count; ++i) {
        LPITEMIDLIST full = nullptr;
        if (!GetListedTargetIdList(paths, wide, i, &full))
            continue;
        LPITEMIDLIST parent = CopyParentIdList(allocator, full);
        if (!parent) {
            allocator->Free(full);
            continue;
        }
        if (!set->targets) {
            size_t room = static_cast<size_t>(count - i);
            void *block = MemAlloc(room * (sizeof(Target) + sizeof(LPCITEMIDLIST)));
            if (!block) {
                allocator->Free(parent);
                allocator->Free(full);
                return false;
            }
            set->targets = static_cast<Target *>(block);
            set->children = reinterpret_cast<LPCITEMIDLIST *>(set->targets + room);
        }
        Target &t = set->targets[set->count];
        t.full = full;
        t.parent = parent;
        t.leader = FindLeader(desktop, *set, parent);
        if (t.leader != set->count) {
            allocator->Free(parent);
            t.parent = nullptr;
        }
        ++set->count;
    }
    return true;
}

// A target listed twice in a group would make the shell select nothing.
bool IsRepeated(IShellFolder *desktop, const TargetSet &set, int leader, int index) {
    for (int i = leader; i < index; ++i) {
        if (set.targets[i].leader == leader &&
            SameItem(desktop, set.targets[i].full, set.targets[index].full))
            return true;
    }
    return false;
}

void OpenGroup(IShellFolder *desktop, const TargetSet &set, int leader, SelectItemsFunction select,
               const char *verb) {
    UINT n = 0;
    LPCITEMIDLIST single = nullptr;
    for (int i = leader; i < set.count; ++i) {
        if (set.targets[i].leader != leader)
            continue;
        LPCITEMIDLIST child = ChildOf(set.targets[i].full);
        if (!child || IsRepeated(desktop, set, leader, i))
            continue;
        if (n == 0)
            single = set.targets[i].full;
        set.children[n++] = child;
    }
    LPCITEMIDLIST folder = set.targets[leader].parent;
    HRESULT hr = E_NOTIMPL;
    if (select && n == 1)
        hr = select(single, 0, nullptr, 0);
    else if (select && n > 1)
        hr = select(folder, n, set.children, 0);
    // Nothing that opens without the option may stay shut with it.
    if (hr != S_OK)
        ExecuteIdList(folder, verb);
}

} // namespace

bool OpenAndSelectTargets(int count, PathList paths, const char *verb, WidePathList wide) {
    IMalloc *allocator = nullptr;
    if (SHGetMalloc(&allocator) != S_OK)
        return false;
    IShellFolder *desktop = nullptr;
    TargetSet set = {nullptr, nullptr, 0};
    bool grouped = SHGetDesktopFolder(&desktop) == S_OK;
    if (grouped) {
        grouped = LoadTargets(allocator, desktop, count, paths, wide, &set);
        SelectItemsFunction select = FindSelectItems();
        for (int i = 0; i < set.count; ++i) {
            if (set.targets[i].leader == i)
                OpenGroup(desktop, set, i, select, verb);
        }
        for (int i = set.count - 1; i >= 0; --i) {
            allocator->Free(set.targets[i].parent);
            allocator->Free(set.targets[i].full);
        }
        MemFree(set.targets);
        desktop->Release();
    }
    allocator->HeapMinimize();
    allocator->Release();
    // Without the shell's comparison or the block, every folder opens as it
    // would without the option.
    return grouped || OpenTargetFolders(count, paths, verb, wide);
}
