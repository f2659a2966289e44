// Pictures of tessaro's windows for the README, taken from the screen the
// way a user sees them: tessaro.exe is started and driven from here.
//   shoot.exe TESSARO_EXE OUT_DIR
#include "dialog/resource.h"
#include "harness/shellwindows.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <stdio.h>

namespace {

HWND WaitForWindow(const char *caption) {
    for (int i = 0; i < 400; ++i) {
        HWND found = FindWindowA("#32770", caption);
        if (found && IsWindowVisible(found))
            return found;
        Sleep(50);
    }
    return nullptr;
}

// Lets the target repaint before its pixels are read.
void Settle() {
    Sleep(700);
}

// The screen of another process's window cannot be read from here under
// Wine, so the script outside takes the picture from the display: it is
// told the rectangle through NAME.rect and answers with NAME.done.
bool SaveWindow(HWND window, const char *dir, const char *name) {
    RECT r;
    GetWindowRect(window, &r);
    char display[64] = "";
    GetEnvironmentVariableA("DISPLAY", display, sizeof display);
    char path[MAX_PATH], done[MAX_PATH];
    wsprintfA(path, "%s\\%s.rect", dir, name);
    wsprintfA(done, "%s\\%s.done", dir, name);
    FILE *out = fopen(path, "w");
    if (!out)
        return false;
    fprintf(out, "%s %ldx%ld+%ld+%ld\n", display, r.right - r.left, r.bottom - r.top, r.left,
            r.top);
    fclose(out);
    for (int i = 0; i < 200; ++i) {
        if (GetFileAttributesA(done) != INVALID_FILE_ATTRIBUTES)
            return true;
        Sleep(50);
    }
    return false;
}

bool Start(const char *line, PROCESS_INFORMATION *pi) {
    char copy[3 * MAX_PATH];
    lstrcpynA(copy, line, sizeof copy);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    return CreateProcessA(nullptr, copy, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, pi);
}

void Finish(PROCESS_INFORMATION *pi) {
    if (WaitForSingleObject(pi->hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(pi->hProcess, 1);
    CloseHandle(pi->hThread);
    CloseHandle(pi->hProcess);
}

bool MakeShortcut(const char *link, const char *target) {
    IShellLinkA *shell = nullptr;
    if (CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                         reinterpret_cast<void **>(&shell)) != S_OK)
        return false;
    IPersistFile *file = nullptr;
    bool ok = false;
    if (shell->SetPath(target) == S_OK &&
        shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file)) == S_OK) {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, link, -1, wide, MAX_PATH);
        ok = file->Save(wide, TRUE) == S_OK;
        file->Release();
    }
    shell->Release();
    return ok;
}

// A folder of a few documents, one of them the target of a shortcut that
// tessaro opens with /select.
bool ShootSelection(const char *exe, const char *dir) {
    char folder[MAX_PATH], target[MAX_PATH], link[MAX_PATH], line[3 * MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    lstrcatA(folder, "資料");
    CreateDirectoryA(folder, nullptr);
    const char *const names[] = {"会議メモ.txt", "見積書.txt", "予定表.txt", "報告書.txt"};
    for (const char *name : names) {
        wsprintfA(target, "%s\\%s", folder, name);
        CloseHandle(CreateFileA(target, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    wsprintfA(target, "%s\\予定表.txt", folder);
    GetTempPathA(sizeof link, link);
    lstrcatA(link, "予定表.lnk");
    // Wine's shell selects at once in a window of the folder that is open,
    // but waits only a second for one it starts, less than an emulated
    // explorer takes to come up: the folder is opened first.
    CoInitialize(nullptr);
    bool ready = MakeShortcut(link, target) &&
                 reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", folder, nullptr, nullptr,
                                                         SW_SHOWNORMAL)) > 32 &&
                 WaitForShellWindow(folder, 60000);
    CoUninitialize();
    // Registered before it takes the folder's name as its title.
    HWND window = nullptr;
    for (int i = 0; ready && i < 600 && !(window = FindWindowA("ExplorerWClass", "資料")); ++i)
        Sleep(50);
    wsprintfA(line, "\"%s\" /select \"%s\"", exe, link);
    PROCESS_INFORMATION pi;
    if (!ready || !window || !Start(line, &pi))
        return false;
    Finish(&pi);
    MoveWindow(window, 40, 40, 560, 300, TRUE);
    // The file list shows its selection only while it has the focus, and
    // without a window manager nothing gives it the focus: this does what a
    // user's tab into the list would.
    const char *const chain[] = {"ExplorerBrowserControl", "SHELLDLL_DefView", "SysListView32"};
    HWND list = window;
    for (const char *name : chain)
        list = FindWindowExA(list, nullptr, name, nullptr);
    DWORD theirs = GetWindowThreadProcessId(window, nullptr);
    if (list && AttachThreadInput(GetCurrentThreadId(), theirs, TRUE)) {
        SetFocus(list);
        AttachThreadInput(GetCurrentThreadId(), theirs, FALSE);
    }
    Sleep(1000);
    bool ok = SaveWindow(window, dir, "select");
    PostMessageA(window, WM_CLOSE, 0, 0);
    return ok;
}

} // namespace

// Wine's folder verbs have no commands, so its lists would stay empty; this
// run's private prefix gets the three a Windows system has.
void RegisterFolderVerbs() {
    const char *const verbs[][2] = {
        {"Folder\\shell\\open\\command", "explorer.exe \"%1\""},
        {"Folder\\shell\\explore\\command", "explorer.exe /e,\"%1\""},
        {"Folder\\shell\\find\\command", "explorer.exe \"%1\""},
    };
    for (const auto &verb : verbs)
        RegSetValueA(HKEY_CLASSES_ROOT, verb[0], REG_SZ, verb[1], lstrlenA(verb[1]));
}

// Wine hands every program started after this the DPI of the prefix.
void SetDpi(DWORD dpi) {
    HKEY key;
    if (RegCreateKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&dpi), 4);
    RegCloseKey(key);
}

// The dialog at 200 per cent, with the .lnk pane open.
bool ShootDoubleScale(const char *line, const char *dir) {
    SetDpi(192);
    PROCESS_INFORMATION pi;
    if (!Start(line, &pi))
        return false;
    // Read when the program's user interface starts, not at its creation.
    HWND dialog = WaitForWindow("tessaro の関連づけ");
    SetDpi(96);
    bool ok = false;
    if (dialog) {
        SendDlgItemMessageA(dialog, IDC_LNK_DETAILS, BM_CLICK, 0, 0);
        Settle();
        ok = SaveWindow(dialog, dir, "dialog-200");
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
    Finish(&pi);
    return dialog && ok;
}

int main(int argc, char **argv) {
    if (argc != 3)
        return 2;
    // First: Wine's shell cannot run folder verbs whose commands take
    // arguments, which the registered ones do.
    int failures = !ShootSelection(argv[1], argv[2]);
    RegisterFolderVerbs();
    SetCursorPos(400, 360);
    char line[MAX_PATH + 2];
    wsprintfA(line, "\"%s\"", argv[1]);
    PROCESS_INFORMATION pi;
    if (!Start(line, &pi))
        return 1;
    HWND dialog = WaitForWindow("tessaro の関連づけ");
    if (dialog) {
        Settle();
        failures += !SaveWindow(dialog, argv[2], "dialog");
        // Ticked, so the pane shows its controls enabled and the box at work;
        // Cancel below saves none of it.
        const int clicks[] = {IDC_LNK_DETAILS, IDC_LNK_CHECK, IDC_LNK_SELECT};
        for (int id : clicks)
            SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
        Settle();
        failures += !SaveWindow(dialog, argv[2], "dialog-lnk");
        SendDlgItemMessageA(dialog, IDC_LNK_DETAILS, BM_CLICK, 0, 0);
        PostMessageA(dialog, WM_SYSCOMMAND, ID_ABOUT, 0);
        HWND about = WaitForWindow("tessaro について");
        if (about) {
            Settle();
            failures += !SaveWindow(about, argv[2], "about");
            PostMessageA(about, WM_COMMAND, IDOK, 0);
        } else {
            ++failures;
        }
        Sleep(300);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    } else {
        ++failures;
    }
    Finish(&pi);
    failures += !ShootDoubleScale(line, argv[2]);
    return failures ? 1 : 0;
}
