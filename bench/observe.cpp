// Starts programs and times them from a second process, the way a user
// would see them, with the performance counter.
//
//   observe series ROUNDS DIR
//       the whole measurement in a fresh prefix: keeps the desktop with
//       DIR\bench\hold.exe, registers two folder verbs, writes shortcuts,
//       then times two warm-up rounds and ROUNDS rounds of OpenMode, then
//       the same of OpenMode with /select and of InstallMode; each round
//       runs tessaro (DIR\tessaro.exe), its floor and the floor plus one
//       platform call (OpenMode, either way: InitCommonControls, which
//       tessaro now leaves to its dialog; the dialog: the shell's icons,
//       the call that costs tessaro most), one after the
//       other, starting one program later each round; last, ROUNDS runs
//       of tessaro alone on an advertised shortcut to a package that
//       msiexec installs first (DIR\bench\probe.msi), which has no floor
//   observe exit TITLE COMMANDLINE
//       one run, from process creation to exit; then waits for the folder
//       window titled TITLE and closes it, so the next run opens a new one
//   observe dialog CAPTION ITEMS COMMANDLINE
//       one run, from process creation until a dialog with CAPTION is
//       visible and each of its verb lists holds ITEMS items (none checked
//       when ITEMS is 0); then closes it and waits for the exit
//
// Each timing prints one line, "SERIES ROUND NAME MS OK DESKTOP": OK is 1
// when the run did what it is timed for, DESKTOP the process that owns the
// desktop window, which should stay the same for a whole series.
#include "harness/advertised.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// The verb lists of the association dialog (dialog/resource.h).
const int kVerbLists[] = {1105, 1205};
const DWORD kTimeoutMs = 20000;
// Wine swallows an open of a folder that follows the close of a folder
// window by less than about two seconds.
const DWORD kSettleMs = 2000;
// Even after the folder's explorer has ended, Wine and the X server finish
// its work for a moment; without this pause the second and third runs of a
// round took up to twice as long as the first.
const DWORD kRunSettleMs = 500;
const char kHoldEvent[] = "tessaro.bench.hold";
const char kCaption[] = "tessaro の関連づけ";
const int kPrograms = 3;
const int kFolderVerbs = 2;

struct Timing {
    double ms;
    bool ok;
    DWORD desktop;
};

double Now() {
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Called before the clock starts: a desktop that had ended is started here,
// not inside the measurement.
DWORD DesktopProcess() {
    DWORD pid = 0;
    GetWindowThreadProcessId(GetDesktopWindow(), &pid);
    return pid;
}

bool Start(std::string commandLine, PROCESS_INFORMATION *pi) {
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    return CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &si, pi) != 0;
}

// Ends a child that outlived the measurement, so it cannot hold the
// dialog's mutex into the next run.
void Finish(PROCESS_INFORMATION *pi) {
    if (WaitForSingleObject(pi->hProcess, kTimeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(pi->hProcess, 1);
    CloseHandle(pi->hThread);
    CloseHandle(pi->hProcess);
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

HANDLE WindowProcess(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid ? OpenProcess(SYNCHRONIZE, FALSE, pid) : nullptr;
}

Timing TimeExit(const std::string &commandLine, const char *title) {
    Timing t = {0, false, DesktopProcess()};
    PROCESS_INFORMATION pi;
    double start = Now();
    if (!Start(commandLine, &pi))
        return t;
    bool exited = WaitForSingleObject(pi.hProcess, kTimeoutMs) == WAIT_OBJECT_0;
    t.ms = Now() - start;
    Finish(&pi);
    // A run that opened no window did not do the work being measured.
    bool shown = WaitFor(FolderWindowShown, title, 10000, 20);
    for (HWND w; (w = FindWindowA("ExplorerWClass", title)) != nullptr;) {
        HANDLE folderProcess = WindowProcess(w);
        PostMessageA(w, WM_CLOSE, 0, 0);
        bool gone = WaitFor(FolderWindowGone, title, 5000, 20);
        // The folder's explorer goes on working after its window has gone;
        // a run started meanwhile would share the machine with it. A window
        // that stayed means a process that will not end: no use waiting.
        if (folderProcess) {
            if (gone)
                WaitForSingleObject(folderProcess, kTimeoutMs);
            CloseHandle(folderProcess);
        }
        if (!gone)
            break;
    }
    t.ok = exited && shown;
    return t;
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

Timing TimeDialog(const std::string &commandLine, const char *caption, int items) {
    Timing t = {0, false, DesktopProcess()};
    DialogWatch watch = {caption, items, nullptr};
    // A dialog left over from an earlier run would be found at once.
    if (DialogReady(&watch))
        return t;
    PROCESS_INFORMATION pi;
    double start = Now();
    if (!Start(commandLine, &pi))
        return t;
    // A short poll: each look is a round trip to the server that the
    // program under test shares.
    t.ok = WaitFor(DialogReady, &watch, kTimeoutMs, 2);
    t.ms = Now() - start;
    if (t.ok)
        PostMessageA(watch.found, WM_CLOSE, 0, 0);
    Finish(&pi);
    return t;
}

void Print(const char *series, int round, const char *name, const Timing &t) {
    printf("%s %d %s %.2f %d %lu\n", series, round, name, t.ms, t.ok ? 1 : 0, t.desktop);
    fflush(stdout);
}

bool MakeShortcut(const char *link, const char *target) {
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
    return ok;
}

// One real shortcut per program, C:\bench\fN.lnk to a file in C:\bench\fN,
// whose folder window is then titled "fN": with a folder of its own each,
// the programs of a round can run one right after the other.
std::string FolderName(int program) {
    return "f" + std::to_string(program);
}
std::string LinkPath(int program) {
    return "C:\\bench\\" + FolderName(program) + ".lnk";
}

bool MakeTargets() {
    CreateDirectoryA("C:\\bench", nullptr);
    for (int i = 0; i < kPrograms; ++i) {
        std::string folder = "C:\\bench\\" + FolderName(i);
        std::string target = folder + "\\target.txt";
        CreateDirectoryA(folder.c_str(), nullptr);
        HANDLE file = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(file);
        if (!MakeShortcut(LinkPath(i).c_str(), target.c_str()))
            return false;
    }
    return true;
}

// Wine's own Folder key has no verb with a command: without these the
// dialog would have no list to fill.
bool RegisterFolderVerbs() {
    for (int i = 1; i <= kFolderVerbs; ++i) {
        char key[64];
        snprintf(key, sizeof key, "Folder\\shell\\bench%d\\command", i);
        HKEY command;
        if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &command, nullptr) != ERROR_SUCCESS)
            return false;
        const char value[] = "notepad.exe \"%1\"";
        RegSetValueExA(command, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>(value),
                       sizeof value);
        RegCloseKey(command);
    }
    return true;
}

const char kAdvertisedLink[] = "C:\\bench\\advertised.lnk";

// The shortcut leads to the cached icon; tessaro opens the installed folder,
// whose name is returned ("" on failure).
std::string MakeAdvertised(const std::string &dir) {
    std::string installed = InstallProbe(dir + "\\bench\\probe.msi");
    char cache[MAX_PATH] = "";
    GetWindowsDirectoryA(cache, sizeof cache);
    strcat(cache, "\\Installer");
    CreateDirectoryA(cache, nullptr);
    strcat(cache, "\\" PROBE_PRODUCT "\\");
    CreateDirectoryA(cache, nullptr);
    std::ofstream(std::string(cache) + "probe.ico").put('\0');
    if (installed.empty() ||
        !MakeShortcut("C:\\bench\\made.lnk", (cache + std::string("probe.ico")).c_str()))
        return "";
    std::ifstream made("C:\\bench\\made.lnk", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(made)), std::istreambuf_iterator<char>());
    std::ofstream(kAdvertisedLink, std::ios::binary) << Advertised(bytes, PROBE_PRODUCT);
    return installed.substr(installed.rfind('\\') + 1);
}

// The holder keeps the desktop for the whole series (bench/hold.cpp); it
// is ended by the server's shutdown after the series.
bool StartHolder(const std::string &dir) {
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, kHoldEvent);
    PROCESS_INFORMATION pi;
    bool ok = ready && Start("\"" + dir + "\\bench\\hold.exe\"", &pi);
    if (ok) {
        ok = WaitForSingleObject(ready, kTimeoutMs) == WAIT_OBJECT_0;
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    if (ready)
        CloseHandle(ready);
    return ok;
}

struct Program {
    const char *name;
    std::string commandLine; // OpenMode: the shortcut's path follows
    bool quoteLink;
    int items;
};

// Program i of round r runs at position (i - r) mod 3, so that each takes
// each place in the order as often as the others.
int ProgramAt(int round, int position) {
    return (round + position) % kPrograms;
}

void OpenRound(const char *series, int round, const Program (&programs)[kPrograms]) {
    for (int position = 0; position < kPrograms; ++position) {
        int i = ProgramAt(round, position);
        const Program &p = programs[i];
        std::string link = p.quoteLink ? "\"" + LinkPath(i) + "\"" : LinkPath(i);
        Print(series, round, p.name, TimeExit(p.commandLine + " " + link, FolderName(i).c_str()));
        Sleep(kRunSettleMs);
    }
    Sleep(kSettleMs);
}

void DialogRound(const char *series, int round, const Program (&programs)[kPrograms]) {
    for (int position = 0; position < kPrograms; ++position) {
        const Program &p = programs[ProgramAt(round, position)];
        Print(series, round, p.name, TimeDialog(p.commandLine, kCaption, p.items));
    }
}

int Series(int rounds, const std::string &dir) {
    if (!StartHolder(dir)) {
        fprintf(stderr, "observe: the desktop holder did not start\n");
        return 1;
    }
    CoInitialize(nullptr);
    bool ready = RegisterFolderVerbs() && MakeTargets();
    std::string probe = ready ? MakeAdvertised(dir) : "";
    CoUninitialize();
    if (!ready || probe.empty()) {
        fprintf(stderr, "observe: could not prepare the prefix\n");
        return 1;
    }
    std::string tessaro = "\"" + dir + "\\tessaro.exe\"";
    std::string bench = "\"" + dir + "\\bench\\";
    // tessaro as the shell runs it; the floors take the bare path.
    const Program open[kPrograms] = {
        {"tessaro", tessaro + " /verb:\"open\"", true, 0},
        {"floor", bench + "floor_open.exe\"", false, 0},
        {"plus", bench + "floor_open_comctl.exe\"", false, 0},
    };
    // The stored command line with /select added, as the user adds it.
    const Program select[kPrograms] = {
        {"tessaro", tessaro + " /verb:\"open\" /select", true, 0},
        {"floor", bench + "floor_select.exe\"", false, 0},
        {"plus", bench + "floor_select_comctl.exe\"", false, 0},
    };
    const Program dialog[kPrograms] = {
        {"tessaro", tessaro, false, kFolderVerbs},
        {"floor", bench + "floor_dialog.exe\"", false, 0},
        {"plus", bench + "floor_dialog_icon.exe\"", false, 0},
    };
    // The first starts in a fresh prefix pay for loading it.
    for (int r = 0; r < 2; ++r) {
        OpenRound("warmup", r, open);
        OpenRound("warmup", r, select);
        DialogRound("warmup", r, dialog);
    }
    for (int r = 0; r < rounds; ++r)
        OpenRound("open", r, open);
    for (int r = 0; r < rounds; ++r)
        OpenRound("select", r, select);
    for (int r = 0; r < rounds; ++r)
        DialogRound("dialog", r, dialog);
    std::string advertised = tessaro + " /verb:\"open\" \"" + kAdvertisedLink + "\"";
    for (int r = -1; r < rounds; ++r) {
        Timing t = TimeExit(advertised, probe.c_str());
        if (r >= 0)
            Print("advertised", r, "tessaro", t);
        Sleep(kSettleMs);
    }
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    if (argc == 4 && !strcmp(argv[1], "series") && atoi(argv[2]) > 0)
        return Series(atoi(argv[2]), argv[3]);
    if (argc == 4 && !strcmp(argv[1], "exit")) {
        Print("exit", 0, "run", TimeExit(argv[3], argv[2]));
        return 0;
    }
    if (argc == 5 && !strcmp(argv[1], "dialog")) {
        Print("dialog", 0, "run", TimeDialog(argv[4], argv[2], atoi(argv[3])));
        return 0;
    }
    fprintf(stderr, "usage: observe series ROUNDS DIR | exit TITLE COMMANDLINE |"
                    " dialog CAPTION ITEMS COMMANDLINE\n");
    return 2;
}
