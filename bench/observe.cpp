// Starts a program and times it from a second process, the way a user
// would see it, with the performance counter.
//
//   observe shortcut LINK TARGET
//       writes a shortcut through the shell link object
//   observe exit TITLE PROGRAM [ARGS...]
//       time from process creation to exit; then waits for the folder
//       window titled TITLE and closes it, so the next run opens a new one
//   observe dialog CAPTION ITEMS PROGRAM [ARGS...]
//       time from process creation until a dialog with CAPTION is visible
//       and each of its verb lists holds ITEMS items (none checked when
//       ITEMS is 0); then closes it and waits for the exit
//
// Each timing prints one line: "ms=<milliseconds> ok=<0|1> desktop=<pid>",
// the last being the process that owns the desktop window (it should stay
// the same across runs). ARGS are put on the command line as they are,
// after the quoted PROGRAM.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>

namespace {

// The verb lists of the association dialog (dialog/resource.h).
const int kVerbLists[] = {1105, 1205};
const DWORD kTimeoutMs = 20000;

double Now() {
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool Start(int argc, char **argv, PROCESS_INFORMATION *pi) {
    std::string line = std::string("\"") + argv[0] + "\"";
    for (int i = 1; i < argc; ++i)
        line += std::string(" ") + argv[i];
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    return CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          pi) != 0;
}

// Ends a child that outlived the measurement, so it cannot hold the
// dialog's mutex into the next run.
void Finish(PROCESS_INFORMATION *pi) {
    if (WaitForSingleObject(pi->hProcess, kTimeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(pi->hProcess, 1);
    CloseHandle(pi->hThread);
    CloseHandle(pi->hProcess);
}

// Called before the clock starts: a desktop that had ended is started here,
// not inside the measurement.
DWORD DesktopProcess() {
    DWORD pid = 0;
    GetWindowThreadProcessId(GetDesktopWindow(), &pid);
    return pid;
}

void Report(double ms, bool ok, DWORD desktop) {
    printf("ms=%.2f ok=%d desktop=%lu\n", ms, ok ? 1 : 0, desktop);
    fflush(stdout);
}

bool WaitFor(bool (*test)(const void *), const void *arg, DWORD ms, DWORD pollMs) {
    DWORD end = GetTickCount() + ms;
    for (;;) {
        if (test(arg))
            return true;
        if (static_cast<LONG>(end - GetTickCount()) <= 0)
            return false;
        Sleep(pollMs);
    }
}

bool FolderWindowShown(const void *title) {
    HWND w = FindWindowA("ExplorerWClass", static_cast<const char *>(title));
    return w && IsWindowVisible(w);
}

bool FolderWindowGone(const void *title) {
    return !FindWindowA("ExplorerWClass", static_cast<const char *>(title));
}

int TimeExit(const char *title, int argc, char **argv) {
    DWORD desktop = DesktopProcess();
    PROCESS_INFORMATION pi;
    double start = Now();
    if (!Start(argc, argv, &pi))
        return 2;
    bool exited = WaitForSingleObject(pi.hProcess, kTimeoutMs) == WAIT_OBJECT_0;
    double ms = Now() - start;
    Finish(&pi);
    // A run that opened no window did not do the work being measured.
    bool shown = WaitFor(FolderWindowShown, title, 10000, 20);
    for (HWND w; (w = FindWindowA("ExplorerWClass", title)) != nullptr;) {
        PostMessageA(w, WM_CLOSE, 0, 0);
        if (!WaitFor(FolderWindowGone, title, 5000, 20))
            break;
    }
    Report(ms, exited && shown, desktop);
    return 0;
}

struct DialogWatch {
    const char *caption;
    LRESULT items;
    HWND found;
};

bool DialogReady(const void *arg) {
    DialogWatch *watch = const_cast<DialogWatch *>(static_cast<const DialogWatch *>(arg));
    HWND dialog = FindWindowA("#32770", watch->caption);
    if (!dialog || !IsWindowVisible(dialog))
        return false;
    if (watch->items > 0) {
        for (int id : kVerbLists) {
            DWORD_PTR count = 0;
            HWND list = GetDlgItem(dialog, id);
            if (!list ||
                !SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 1000,
                                     &count) ||
                static_cast<LRESULT>(count) < watch->items)
                return false;
        }
    }
    watch->found = dialog;
    return true;
}

int TimeDialog(const char *caption, int items, int argc, char **argv) {
    DialogWatch watch = {caption, items, nullptr};
    if (DialogReady(&watch)) {
        fprintf(stderr, "a dialog \"%s\" is already open\n", caption);
        return 2;
    }
    DWORD desktop = DesktopProcess();
    PROCESS_INFORMATION pi;
    double start = Now();
    if (!Start(argc, argv, &pi))
        return 2;
    // A short poll: each look is a round trip to the server that the
    // program under test shares.
    bool ready = WaitFor(DialogReady, &watch, kTimeoutMs, 2);
    double ms = Now() - start;
    if (ready)
        PostMessageA(watch.found, WM_CLOSE, 0, 0);
    Finish(&pi);
    Report(ms, ready, desktop);
    return 0;
}

int MakeShortcut(const char *link, const char *target) {
    CoInitialize(nullptr);
    IShellLinkA *shellLink = nullptr;
    IPersistFile *file = nullptr;
    WCHAR wide[MAX_PATH];
    bool ok =
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                         reinterpret_cast<void **>(&shellLink)) == S_OK &&
        shellLink->SetPath(target) == S_OK &&
        shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file)) == S_OK &&
        MultiByteToWideChar(CP_ACP, 0, link, -1, wide, MAX_PATH) > 0 &&
        file->Save(wide, TRUE) == S_OK;
    if (file)
        file->Release();
    if (shellLink)
        shellLink->Release();
    CoUninitialize();
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char **argv) {
    if (argc == 4 && !strcmp(argv[1], "shortcut"))
        return MakeShortcut(argv[2], argv[3]);
    if (argc >= 4 && !strcmp(argv[1], "exit"))
        return TimeExit(argv[2], argc - 3, argv + 3);
    if (argc >= 5 && !strcmp(argv[1], "dialog"))
        return TimeDialog(argv[2], atoi(argv[3]), argc - 4, argv + 4);
    fprintf(stderr, "usage: observe shortcut LINK TARGET | exit TITLE PROGRAM [ARGS...] |"
                    " dialog CAPTION ITEMS PROGRAM [ARGS...]\n");
    return 2;
}
