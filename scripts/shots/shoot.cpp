// Pictures of tessaro's windows for the README, taken from the screen the
// way a user sees them: tessaro.exe is started and driven from here.
//   shoot.exe TESSARO_EXE OUT_DIR
#include "dialog/resource.h"

#include <windows.h>
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

int main(int argc, char **argv) {
    if (argc != 3)
        return 2;
    RegisterFolderVerbs();
    SetCursorPos(400, 360);
    char line[MAX_PATH + 2];
    wsprintfA(line, "\"%s\"", argv[1]);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 1;
    HWND dialog = WaitForWindow("tessaro の関連づけ");
    int failures = 0;
    if (dialog) {
        Settle();
        failures += !SaveWindow(dialog, argv[2], "dialog");
        SendDlgItemMessageA(dialog, IDC_LNK_DETAILS, BM_CLICK, 0, 0);
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
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return failures ? 1 : 0;
}
