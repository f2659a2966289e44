#include "dialog_fixture.h"
#include "harness/wine.h"
#include "dialog/assocdlg.h"
#include "tests/TOOLS/screen.h"

#include <commctrl.h>

RECT ItemRect(HWND dialog, int id) {
    RECT rect = {};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

int DluX(HWND dialog, int x) {
    RECT rect = {0, 0, x, 0};
    MapDialogRect(dialog, &rect);
    return rect.right;
}

int DluY(HWND dialog, int y) {
    RECT rect = {0, 0, 0, y};
    MapDialogRect(dialog, &rect);
    return rect.bottom;
}

std::string ItemText(HWND dialog, int id) {
    char text[1024] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

bool ItemVisible(HWND dialog, int id) {
    return (GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

bool ItemEnabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != 0;
}

SIZE WindowSize(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

SIZE ClientSize(HWND window) {
    RECT rect;
    GetClientRect(window, &rect);
    return {rect.right, rect.bottom};
}

testing::AssertionResult ButtonDrawn(HWND button) {
    PumpMessagesFor(200);
    ScreenPixels shown(button);
    SIZE size = WindowSize(button);
    for (int y = 3; y < size.cy - 3; ++y)
        for (int x = 3; x < size.cx - 3; ++x)
            if (shown.At(x, y) == GetSysColor(COLOR_BTNTEXT))
                return testing::AssertionSuccess();
    return testing::AssertionFailure() << "no text in " << size.cx << "x" << size.cy;
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void Click(HWND dialog, int id) {
    SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
    Pump();
}

void RegisterFolderVerbs(const std::vector<std::string> &verbs) {
    // Wine's "Folder" names no class: its verbs live under Folder\shell.
    DeleteTree("Folder\\shell");
    for (const std::string &verb : verbs)
        SetDefault("Folder\\shell\\" + verb + "\\command", "run-" + verb + " \"%1\"");
}

namespace {
std::vector<std::string> Verbs(HWND list, UINT flags) {
    std::vector<std::string> verbs;
    int index = -1;
    while ((index = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, index, flags))) != -1) {
        char text[1025] = "";
        LVITEMA item = {};
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
        verbs.push_back(text);
    }
    return verbs;
}
} // namespace

std::vector<std::string> ListVerbs(HWND list) {
    return Verbs(list, LVNI_ALL);
}
std::vector<std::string> SelectedVerbs(HWND list) {
    return Verbs(list, LVNI_SELECTED);
}

void DialogTest::Open() {
    dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ASSOCIATION),
                                nullptr, AssociationDialogProc, 0);
    ASSERT_NE(nullptr, dialog);
    ShowWindow(dialog, SW_SHOW);
    Pump();
}

void DialogTest::Close() {
    if (dialog)
        DestroyWindow(dialog);
    dialog = nullptr;
    Pump();
}

HWND WaitForDialog(const std::string &caption, DWORD ms) {
    DWORD end = GetTickCount() + ms;
    do {
        HWND found = FindWindowA("#32770", caption.c_str());
        if (found && IsWindowVisible(found))
            return found;
        Sleep(50);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
    return nullptr;
}

Process::Process(std::string line, HANDLE token, DWORD flags)
    : Process(Widen(line), token, flags) {}

Process::Process(std::wstring line, HANDLE token, DWORD flags) {
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    if (token)
        CreateProcessAsUserW(token, nullptr, &line[0], nullptr, nullptr, FALSE, flags, nullptr,
                             nullptr, &si, &pi);
    else
        CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, flags, nullptr, nullptr, &si,
                       &pi);
}

Process::~Process() {
    if (pi.hProcess && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

DWORD Process::Wait() {
    if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0)
        return 0xFFFFFFFF;
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(pi.hProcess, &code);
    return code;
}
