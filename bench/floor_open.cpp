// The least a program can do to open the folder of a shortcut's target:
// load the shortcut, cut the last item off its list, run "open" on the
// rest. The path is the whole command line after the program name.
//
// Built a second time with FLOOR_COMMON_CONTROLS: that copy shows what
// comctl32 alone costs, which tessaro now loads for its dialog only.
//
// With FLOOR_SELECT it is the floor of /select with one shortcut: the
// target's whole list goes to SHOpenFolderAndSelectItems, imported
// directly, since a floor need not start on systems that lack it.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

namespace {

const CLSID kClsidShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kIidShellLinkA = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kIidPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

const char *SkipProgramName(const char *p) {
    char end = *p == '"' ? *p++ : ' ';
    while (*p && *p != end)
        ++p;
    if (*p)
        ++p;
    while (*p == ' ')
        ++p;
    return p;
}

#ifdef FLOOR_SELECT
void OpenTarget(ITEMIDLIST *list) {
    SHOpenFolderAndSelectItems(list, 0, nullptr, 0);
}
#else
// The list is cut in place: the floor needs no copy of it.
void DropLastItem(ITEMIDLIST *list) {
    BYTE *item = reinterpret_cast<BYTE *>(list);
    BYTE *last = item;
    for (USHORT size; (size = *reinterpret_cast<USHORT *>(item)) != 0; item += size)
        last = item;
    *reinterpret_cast<USHORT *>(last) = 0;
}

void OpenTarget(ITEMIDLIST *list) {
    DropLastItem(list);
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_IDLIST;
    info.lpVerb = "open";
    info.nShow = SW_SHOWNORMAL;
    info.lpIDList = list;
    ShellExecuteExA(&info);
}
#endif

void OpenFolder(const char *path) {
    IShellLinkA *link;
    if (CoCreateInstance(kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER, kIidShellLinkA,
                         reinterpret_cast<void **>(&link)) != S_OK)
        return;
    IPersistFile *file;
    if (link->QueryInterface(kIidPersistFile, reinterpret_cast<void **>(&file)) == S_OK) {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH);
        ITEMIDLIST *list;
        if (file->Load(wide, STGM_READ) == S_OK && link->GetIDList(&list) == S_OK) {
            OpenTarget(list);
            CoTaskMemFree(list);
        }
        file->Release();
    }
    link->Release();
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
#ifdef FLOOR_COMMON_CONTROLS
    InitCommonControls();
#endif
    CoInitialize(nullptr);
    OpenFolder(SkipProgramName(GetCommandLineA()));
    CoUninitialize();
    return 0;
}
