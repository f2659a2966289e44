#include "harness/wine.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

bool IsWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

std::wstring Widen(const std::string &text) {
    int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(n > 0 ? n : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], n);
    wide.resize(n > 0 ? n - 1 : 0);
    return wide;
}

std::string Narrow(const std::wstring &wide) {
    std::string text(wide.size() * 3 + 1, '\0');
    text.resize(
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &text[0], text.size(), nullptr, nullptr) -
        1);
    return text;
}

namespace {

void RemoveTree(const std::string &path) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

} // namespace

ScratchDir::ScratchDir(const char *name) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    path_ = std::string(temp) + name;
    RemoveTree(path_);
    MakeDirs(path_);
}

ScratchDir::~ScratchDir() {
    RemoveTree(path_);
}

bool MakeDirs(const std::string &path) {
    for (size_t i = 3; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\')
            CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
        else if (IsDBCSLeadByte(static_cast<BYTE>(path[i])))
            ++i; // a second byte 0x5C is no separator
    }
    DWORD attrs = GetFileAttributesA(path.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteFileBytes(const std::string &path, const std::string &bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::string ReadFileBytes(const std::string &path) {
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got)
        bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

bool MakeShortcut(const std::string &link, const std::string &target) {
    IShellLinkA *shell = nullptr;
    if (CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                         reinterpret_cast<void **>(&shell)) != S_OK)
        return false;
    bool ok = false;
    IPersistFile *file = nullptr;
    if (shell->SetPath(target.c_str()) == S_OK &&
        shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file)) == S_OK) {
        ok = file->Save(Widen(link).c_str(), TRUE) == S_OK;
        file->Release();
    }
    shell->Release();
    return ok;
}

namespace {

std::string WineLogPath() {
    char path[MAX_PATH] = "";
    GetEnvironmentVariableA("TESSARO_WINE_LOG", path, sizeof path);
    return path;
}

} // namespace

// create starts the child as the debuggee of this thread.
template <typename Create>
static ChildRun DebugChild(Create create, DWORD timeoutMs, const char *wineDebug) {
    ChildRun run;
    PROCESS_INFORMATION pi = {};
    size_t logStart = ReadFileBytes(WineLogPath()).size();
    char savedDebug[256] = "";
    GetEnvironmentVariableA("WINEDEBUG", savedDebug, sizeof savedDebug);
    if (wineDebug)
        SetEnvironmentVariableA("WINEDEBUG", wineDebug);
    BOOL created = create(&pi);
    if (wineDebug)
        SetEnvironmentVariableA("WINEDEBUG", savedDebug);
    if (!created)
        return run;
    run.started = true;
    DWORD deadline = GetTickCount() + timeoutMs;
    for (;;) {
        DWORD left = deadline - GetTickCount();
        if (static_cast<LONG>(left) <= 0)
            break;
        DEBUG_EVENT ev;
        if (!WaitForDebugEvent(&ev, left))
            break;
        DWORD status = DBG_CONTINUE;
        switch (ev.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
            if (ev.u.CreateProcessInfo.hFile)
                CloseHandle(ev.u.CreateProcessInfo.hFile);
            break;
        case LOAD_DLL_DEBUG_EVENT:
            if (ev.u.LoadDll.hFile)
                CloseHandle(ev.u.LoadDll.hFile);
            break;
        case OUTPUT_DEBUG_STRING_EVENT: {
            const OUTPUT_DEBUG_STRING_INFO &info = ev.u.DebugString;
            std::string text(info.nDebugStringLength, '\0');
            SIZE_T got = 0;
            ReadProcessMemory(pi.hProcess, info.lpDebugStringData, &text[0], text.size(), &got);
            text.resize(got);
            if (!text.empty() && text.back() == '\0')
                text.pop_back();
            if (!info.fUnicode)
                run.traces.push_back(text);
            break;
        }
        case EXCEPTION_DEBUG_EVENT: {
            DWORD code = ev.u.Exception.ExceptionRecord.ExceptionCode;
            if (code != EXCEPTION_BREAKPOINT && code != 0x4000001F /* WOW64 breakpoint */)
                status = DBG_EXCEPTION_NOT_HANDLED;
            if (!ev.u.Exception.dwFirstChance) {
                run.crashed = true;
                TerminateProcess(pi.hProcess, 0xDEAD);
            }
            break;
        }
        case EXIT_PROCESS_DEBUG_EVENT:
            run.finished = true;
            run.exitCode = ev.u.ExitProcess.dwExitCode;
            break;
        }
        ContinueDebugEvent(ev.dwProcessId, ev.dwThreadId, status);
        if (run.finished)
            break;
    }
    if (!run.finished) {
        TerminateProcess(pi.hProcess, 0xDEAD);
        // Its remaining events, exit included, would reach the next run.
        DEBUG_EVENT ev;
        while (WaitForDebugEvent(&ev, 5000)) {
            ContinueDebugEvent(ev.dwProcessId, ev.dwThreadId, DBG_CONTINUE);
            if (ev.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT)
                break;
        }
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (wineDebug) {
        std::string log = ReadFileBytes(WineLogPath());
        if (log.size() > logStart)
            run.wineLog = log.substr(logStart);
    }
    return run;
}

const std::string &InstalledExe() {
    static const std::string exe = [] {
        char folder[MAX_PATH];
        DWORD n = GetEnvironmentVariableA("ProgramFiles", folder, sizeof folder);
        std::string path =
            std::string(n && n < sizeof folder ? folder : "C:\\Program Files") + "\\tessaro";
        CreateDirectoryA(path.c_str(), nullptr);
        path += "\\tessaro.exe";
        // A failed copy fails every run of it, which names the path.
        CopyFileA(TESSARO_EXE, path.c_str(), FALSE);
        return path;
    }();
    return exe;
}

std::string TessaroExe() {
    return Quote(InstalledExe());
}

namespace {
struct WindowSearch {
    const char *className;
    std::vector<std::pair<HWND, std::string>> found;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM param) {
    WindowSearch *search = reinterpret_cast<WindowSearch *>(param);
    char cls[256];
    if (GetClassNameA(hwnd, cls, sizeof cls) && lstrcmpiA(cls, search->className) == 0) {
        char title[1024] = "";
        GetWindowTextA(hwnd, title, sizeof title);
        search->found.emplace_back(hwnd, title);
    }
    return TRUE;
}
} // namespace

std::vector<std::pair<HWND, std::string>> FindTopWindows(const char *className) {
    WindowSearch search{className, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void PumpMessagesFor(DWORD ms) {
    DWORD end = GetTickCount() + ms;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

std::string Quote(const std::string &s) {
    return "\"" + s + "\"";
}

std::string StoredCommand(const std::string &verb, const std::string &shortcut) {
    return TessaroExe() + " /verb:" + Quote(verb) + " " + Quote(shortcut);
}

std::string LastComponent(const std::string &path) {
    size_t cut = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(path[i])))
            ++i;
        else if (path[i] == '\\')
            cut = i + 1;
    }
    return path.substr(cut);
}

std::vector<HWND> FindTopWindows(const char *className, const std::string &title) {
    std::vector<HWND> found;
    for (const auto &w : FindTopWindows(className))
        if (w.second == title)
            found.push_back(w.first);
    return found;
}

std::vector<HWND> FolderWindows(const std::string &title) {
    return FindTopWindows(FOLDER_WINDOW_CLASS, title);
}

void CloseFolderWindows() {
    auto open = FindTopWindows(FOLDER_WINDOW_CLASS);
    if (open.empty())
        return;
    for (const auto &w : open)
        PostMessageA(w.first, WM_CLOSE, 0, 0);
    for (int i = 0; i < 100 && !FindTopWindows(FOLDER_WINDOW_CLASS).empty(); ++i)
        Sleep(50);
    // Wine swallows an open that follows a close too closely.
    Sleep(2000);
}

// A window the shell is still creating may take a moment under Wine.
size_t WaitForFolderWindows(const std::string &title, size_t count, DWORD ms) {
    DWORD end = GetTickCount() + ms;
    size_t n = 0;
    do {
        n = FolderWindows(title).size();
        if (n >= count)
            break;
        Sleep(100);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
    return n;
}

void ExpectAtDialogUnits(HWND dialog, HWND child, int x, int y, int cx, int cy) {
    RECT units = {x, y, cx, cy};
    MapDialogRect(dialog, &units);
    RECT actual;
    GetWindowRect(child, &actual);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&actual), 2);
    EXPECT_EQ(units.left, actual.left);
    EXPECT_EQ(units.top, actual.top);
    EXPECT_EQ(units.right, actual.right - actual.left);
    EXPECT_EQ(units.bottom, actual.bottom - actual.top);
}

namespace {

// The file list belongs to the explorer's process: its texts are read
// through a buffer in that process's memory.
std::vector<std::string> SelectedItems(HWND folder) {
    std::vector<std::string> names;
    HWND list = folder;
    for (const char *name : {"ExplorerBrowserControl", "SHELLDLL_DefView", WC_LISTVIEWA})
        list = FindWindowExA(list, nullptr, name, nullptr);
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    HANDLE process =
        list ? OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid)
             : nullptr;
    char *remote = process ? static_cast<char *>(
                                 VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE))
                           : nullptr;
    int count = remote ? static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
    for (int i = 0; i < count; ++i) {
        LVITEMA item = {};
        item.pszText = remote + sizeof item;
        item.cchTextMax = 1024;
        char text[1024] = "";
        if ((SendMessageA(list, LVM_GETITEMSTATE, i, LVIS_SELECTED) & LVIS_SELECTED) &&
            WriteProcessMemory(process, remote, &item, sizeof item, nullptr) &&
            SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(remote)) > 0 &&
            ReadProcessMemory(process, item.pszText, text, sizeof text - 1, nullptr))
            names.push_back(text);
    }
    if (remote)
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    if (process)
        CloseHandle(process);
    return names;
}

} // namespace

std::vector<std::string> WaitForSelection(const std::string &title,
                                          const std::vector<std::string> &expected, DWORD ms) {
    DWORD end = GetTickCount() + ms;
    std::vector<std::string> names;
    do {
        for (HWND folder : FolderWindows(title))
            if ((names = SelectedItems(folder)) == expected)
                return names;
        Sleep(100);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
    return names;
}

bool EmulatedI386() {
    char value[8];
    return GetEnvironmentVariableA("TESSARO_EMULATED_I386", value, sizeof value) == 1 &&
           value[0] == '1';
}

// The code-page and UTF-16 starts differ only in their types.
template <typename Char, typename StartupInfo>
static ChildRun
RunDebuggedWith(std::basic_string<Char> line,
                BOOL(WINAPI *createProcess)(const Char *, Char *, LPSECURITY_ATTRIBUTES,
                                            LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID,
                                            const Char *, StartupInfo *, LPPROCESS_INFORMATION),
                DWORD timeoutMs, const char *wineDebug) {
    StartupInfo si = {};
    si.cb = sizeof si;
    auto create = [&](PROCESS_INFORMATION *pi) {
        return createProcess(nullptr, &line[0], nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS,
                             nullptr, nullptr, &si, pi);
    };
    return DebugChild(create, timeoutMs, wineDebug);
}

ChildRun RunDebugged(const std::string &commandLine, DWORD timeoutMs, const char *wineDebug) {
    return RunDebuggedWith(commandLine, CreateProcessA, timeoutMs, wineDebug);
}

ChildRun RunDebuggedW(const std::wstring &commandLine, DWORD timeoutMs, const char *wineDebug) {
    return RunDebuggedWith(commandLine, CreateProcessW, timeoutMs, wineDebug);
}
