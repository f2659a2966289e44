// tessaro.exe without arguments, driven from this process the way a user
// drives it: find the dialog by its caption, tick, press OK; then run the
// command it stored exactly as the shell runs it.
#include "dialog_fixture.h"
#include "app/elevation.h"
#include "harness/shellwindows.h"
#include "harness/wine.h"

#include <memory>
#include <sddl.h>
#include <tlhelp32.h>

namespace {

const std::string kCaption = Narrow(L"tessaro の関連づけ");
const char kVerbKey[] = "lnkfile\\shell\\tessaro";

INT_PTR CALLBACK PlainProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// The window height of dialog 120 as its template lays it out.
int TemplateWindowHeight() {
    HWND plain = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ASSOCIATION),
                                    nullptr, PlainProc, 0);
    int height = WindowSize(plain).cy;
    DestroyWindow(plain);
    return height;
}

DWORD OwnerOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

// A registration key as the machine's classes meet a limited token on
// Vista: anyone may read, nobody may write. Put back when it goes.
struct ReadOnlyKey {
    HKEY key = nullptr;
    alignas(8) char saved[1024];
    explicit ReadOnlyKey(const char *name) {
        DWORD size = sizeof saved;
        PSECURITY_DESCRIPTOR readOnly = nullptr;
        ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;OICI;KR;;;WD)", SDDL_REVISION_1,
                                                             &readOnly, nullptr);
        RegOpenKeyExA(HKEY_CLASSES_ROOT, name, 0, READ_CONTROL | WRITE_DAC, &key);
        RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, saved, &size);
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, readOnly);
        LocalFree(readOnly);
    }
    ~ReadOnlyKey() {
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, saved);
        RegCloseKey(key);
    }
};

typedef std::unique_ptr<void, BOOL(WINAPI *)(HANDLE)> Handle;

// The limited twin of this process's elevated token, which Explorer under
// UAC starts programs with.
Handle LimitedToken() {
    HANDLE self = nullptr, primary = nullptr;
    TOKEN_LINKED_TOKEN linked = {};
    DWORD size = 0;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &self);
    if (GetTokenInformation(self, TokenLinkedToken, &linked, sizeof linked, &size))
        DuplicateTokenEx(linked.LinkedToken, MAXIMUM_ALLOWED, nullptr, SecurityImpersonation,
                         TokenPrimary, &primary);
    CloseHandle(linked.LinkedToken);
    CloseHandle(self);
    return {primary, CloseHandle};
}

// Running tessaro.exe processes: each one's id and its parent's.
std::vector<std::pair<DWORD, DWORD>> TessaroProcesses() {
    std::string name = LastComponent(TessaroExe());
    name.pop_back(); // the closing quote
    std::vector<std::pair<DWORD, DWORD>> found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szExeFile, name.c_str()) == 0)
            found.emplace_back(entry.th32ProcessID, entry.th32ParentProcessID);
    CloseHandle(snapshot);
    return found;
}

class InstallMode : public testing::Test {
  protected:
    SavedKeys saved{".lnk", "lnkfile"};
    ScratchDir dir{"tessaro-install"};
    void SetUp() override {
        DeleteTree(kVerbKey);
        CloseFolderWindows();
    }
    void TearDown() override {
        CloseFolderWindows();
        for (const auto &process : TessaroProcesses()) {
            HANDLE handle = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, process.first);
            TerminateProcess(handle, 1);
            WaitForSingleObject(handle, 5000);
            CloseHandle(handle);
        }
    }
};

// Started from a folder that code page 932 spells only by best fit
// ("Muller"), and in any code page that spells Japanese.
TEST_F(InstallMode, InstallUseAndRemoveTheCommand) {
    std::wstring folderW = Widen(dir.path()) + L"\\M\u00fcller", exe = folderW + L"\\tessaro.exe";
    ASSERT_TRUE(CreateDirectoryW(folderW.c_str(), nullptr) &&
                CopyFileW(Widen(InstalledExe()).c_str(), exe.c_str(), FALSE));
    SetCursorPos(500, 400);
    Process first(L"\"" + exe + L"\"");
    HWND found = WaitForDialog(kCaption);
    ASSERT_NE(nullptr, found);

    // Centred on the cursor at the template's full height, then shrunk
    // from the bottom when the panes closed.
    RECT w;
    GetWindowRect(found, &w);
    EXPECT_LE(abs((w.left + w.right) / 2 - 500), 1) << w.left << ".." << w.right;
    EXPECT_LE(abs(w.top + TemplateWindowHeight() / 2 - 400), 1) << w.top;

    ChildRun second = RunDebugged(TessaroExe(), 10000);
    EXPECT_TRUE(second.finished);
    EXPECT_EQ(0u, second.exitCode);
    EXPECT_EQ(found, FindWindowA("#32770", kCaption.c_str()));

    for (int id : {IDC_LNK_CHECK, IDC_LNK_DETAILS, IDC_LNK_SELECT, IDOK})
        SendDlgItemMessageA(found, id, BM_CLICK, 0, 0);
    EXPECT_EQ(0u, first.Wait());

    wchar_t menu[64] = L"";
    DWORD size = sizeof menu;
    RegGetValueW(HKEY_CLASSES_ROOT, L"lnkfile\\shell\\tessaro", nullptr, RRF_RT_REG_SZ, nullptr,
                 menu, &size);
    EXPECT_STREQ(L"リンク先を探す(&F)", menu);
    std::optional<std::string> command = GetDefault(std::string(kVerbKey) + "\\command");
    ASSERT_TRUE(command);
    size_t end = command->find('"', 1);
    EXPECT_EQ("\" /select \"%1\"", command->substr(end));
    wchar_t named[MAX_PATH] = L"";
    GetLongPathNameW(Widen(command->substr(1, end - 1)).c_str(), named, MAX_PATH);
    EXPECT_EQ(exe, named) << "the program is named by a path that names it";

    // The shell's way: "%1" replaced by the shortcut's path; 表 and ソ end
    // in 0x5C in code page 932.
    std::string folder = dir.Join(Narrow(L"表示"));
    ASSERT_TRUE(MakeDirs(folder));
    ASSERT_TRUE(WriteFileBytes(folder + "\\t.txt", "x"));
    std::string link = dir.Join(Narrow(L"ソ.lnk"));
    ASSERT_TRUE(MakeShortcut(link, folder + "\\t.txt"));
    std::string line = *command;
    line.replace(line.find("%1"), 2, link);
    ChildRun run = RunDebugged(line);
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(1u, WaitForFolderWindows(LastComponent(folder), 1));
    // Wine's shell selects at once only in a window of the folder that is
    // already open: the second run selects there.
    ASSERT_TRUE(WaitForShellWindow(folder.c_str(), 60000));
    EXPECT_EQ(0u, RunDebugged(line).exitCode);
    EXPECT_EQ(std::vector<std::string>{"t.txt"},
              WaitForSelection(LastComponent(folder), {"t.txt"}));

    Process again(TessaroExe());
    found = WaitForDialog(kCaption);
    ASSERT_NE(nullptr, found);
    EXPECT_EQ(BST_CHECKED, SendDlgItemMessageA(found, IDC_LNK_CHECK, BM_GETCHECK, 0, 0));
    SendDlgItemMessageA(found, IDC_LNK_CHECK, BM_CLICK, 0, 0);
    SendDlgItemMessageA(found, IDOK, BM_CLICK, 0, 0);
    EXPECT_EQ(0u, again.Wait());
    EXPECT_FALSE(KeyExists(kVerbKey));
    EXPECT_TRUE(KeyExists("lnkfile\\shell")) << "the shell key is never removed";
    DeleteFileW(exe.c_str()) && RemoveDirectoryW(folderW.c_str());
}

// From a folder that the code page spells only by best fit ("Muller").
TEST_F(InstallMode, RefusedKeysAndALimitedTokenHandTheDialogToTheOneElevatedStart) {
    ReadOnlyKey extension(".lnk"), type("lnkfile");
    auto limited = LimitedToken();
    ASSERT_TRUE(limited);
    std::wstring folder = Widen(dir.path()) + L"\\M\u00fcller\\", exe = folder + L"tessaro.exe";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) &&
                CopyFileW(Widen(InstalledExe()).c_str(), exe.c_str(), FALSE));
    Process first(L"\"" + exe + L"\"", limited.get());
    EXPECT_EQ(0u, first.Wait());
    HWND found = WaitForDialog(kCaption);
    ASSERT_NE(nullptr, found) << "no instance took the dialog over";
    Process user(TessaroExe(), limited.get());
    EXPECT_EQ(0u, user.Wait()) << "a start by the user meanwhile ends at once";

    Sleep(3000); // a chain of requests would show by now
    std::vector<std::pair<DWORD, DWORD>> running = TessaroProcesses();
    ASSERT_EQ(1u, running.size());
    EXPECT_EQ(first.pi.dwProcessId, running[0].second) << "the start that the first one asked for";
    EXPECT_EQ(running[0].first, OwnerOf(found));
    EXPECT_EQ(1u, FindTopWindows("#32770", kCaption).size());
    HANDLE started = OpenProcess(SYNCHRONIZE, FALSE, running[0].first);
    PostMessageA(found, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(started, 20000));
    CloseHandle(started);

    // An event of its name that exists before it is someone else's: the
    // dialog stays in the first instance.
    Process squatted(L"\"" + exe + L"\"", limited.get(), CREATE_SUSPENDED);
    char name[64];
    wsprintfA(name, HANDOVER_EVENT_FORMAT, squatted.pi.dwProcessId);
    Handle squatter(CreateEventA(nullptr, TRUE, FALSE, name), CloseHandle);
    ResumeThread(squatted.pi.hThread);
    ASSERT_NE(nullptr, found = WaitForDialog(kCaption));
    EXPECT_EQ(squatted.pi.dwProcessId, OwnerOf(found));
    PostMessageA(found, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(0u, squatted.Wait());

    // Moved while it runs, the program is named by a path that names no
    // file: a request that fails unasked leaves the dialog with it.
    Process moved(L"\"" + exe + L"\"", limited.get(), CREATE_SUSPENDED);
    ASSERT_TRUE(MoveFileW(exe.c_str(), (folder + L"moved.exe").c_str()));
    ResumeThread(moved.pi.hThread);
    ASSERT_NE(nullptr, found = WaitForDialog(kCaption));
    EXPECT_EQ(moved.pi.dwProcessId, OwnerOf(found));
    PostMessageA(found, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(0u, moved.Wait());
    DeleteFileW((folder + L"moved.exe").c_str()) && RemoveDirectoryW(folder.c_str());
}

// The first instance's part while the user is asked, played here: the
// guard, owned, and the event named after this process, the parent of the
// start that the request makes. In one round both refuse every start, as a
// standard user's objects refuse the administrator whose password he typed.
TEST_F(InstallMode, DuringTheHandoverOnlyTheRequestedStartShowsTheDialog) {
    char name[64];
    wsprintfA(name, HANDOVER_EVENT_FORMAT, GetCurrentProcessId());
    for (const char *dacl : {"D:(A;;GA;;;SY)", ""}) {
        SCOPED_TRACE(dacl);
        PSECURITY_DESCRIPTOR refusing = nullptr;
        ConvertStringSecurityDescriptorToSecurityDescriptorA(dacl, SDDL_REVISION_1, &refusing,
                                                             nullptr);
        SECURITY_ATTRIBUTES sa = {sizeof sa, *dacl ? refusing : nullptr, FALSE};
        Handle guard(CreateMutexA(&sa, TRUE, "tessaro.InstallDlg"), CloseHandle);
        Handle pending(CreateEventA(&sa, TRUE, FALSE, name), CloseHandle);
        LocalFree(refusing);
        ASSERT_TRUE(guard && pending);
        Process user("cmd.exe /c start \"\" /wait " + TessaroExe()); // not this one's child
        EXPECT_EQ(0u, user.Wait()) << "any other start ends at once";
        Process started(TessaroExe());
        HWND found = WaitForDialog(kCaption);
        ASSERT_NE(nullptr, found);
        EXPECT_EQ(started.pi.dwProcessId, OwnerOf(found));
        EXPECT_EQ(1u, FindTopWindows("#32770", kCaption).size());
        EXPECT_EQ(*dacl ? WAIT_TIMEOUT : WAIT_OBJECT_0, WaitForSingleObject(pending.get(), 0))
            << "signalled only by a start that holds the guard too";
        PostMessageA(found, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(0u, started.Wait());
    }
}

TEST_F(InstallMode, WritableKeysOrTheElevatedTokenKeepTheDialogInTheFirstStart) {
    auto limited = LimitedToken();
    ASSERT_TRUE(limited);
    for (bool refused : {false, true}) {
        SCOPED_TRACE(refused ? "read-only keys, elevated token" : "writable keys, limited token");
        std::optional<ReadOnlyKey> extension, type;
        if (refused)
            extension.emplace(".lnk"), type.emplace("lnkfile");
        Process first(TessaroExe(), refused ? nullptr : limited.get());
        HWND found = WaitForDialog(kCaption);
        ASSERT_NE(nullptr, found);
        EXPECT_EQ(first.pi.dwProcessId, OwnerOf(found)) << "no request for elevation";
        PostMessageA(found, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(0u, first.Wait());
    }
}

} // namespace
