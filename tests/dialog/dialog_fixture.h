// A real association dialog from resource 120 with the real procedure,
// created modeless so the test can drive it and read it back.
#pragma once
#include "assoc/classes_root.h"
#include "dialog/resource.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>

// Rectangle of a control in the dialog's client coordinates.
RECT ItemRect(HWND dialog, int id);
// Dialog units to pixels, as the dialog's font maps them.
int DluX(HWND dialog, int x);
int DluY(HWND dialog, int y);
std::string ItemText(HWND dialog, int id);
bool ItemVisible(HWND dialog, int id);
bool ItemEnabled(HWND dialog, int id);
SIZE WindowSize(HWND window);
SIZE ClientSize(HWND window);
// Inside the control's border the screen shows the colour of button text,
// not only the face: it has been drawn.
testing::AssertionResult ButtonDrawn(HWND button);
// Clicks a button the way the user does: BM_CLICK, then the queue.
void Click(HWND dialog, int id);
void Pump();

// Verbs under the folder-verbs key, each with a command value.
void RegisterFolderVerbs(const std::vector<std::string> &verbs);
// Verb texts of a list view from the top, and the selected ones.
std::vector<std::string> ListVerbs(HWND list);
std::vector<std::string> SelectedVerbs(HWND list);

// A top-level dialog with this caption once it is visible, or null.
HWND WaitForDialog(const std::string &caption, DWORD ms = 20000);

// A program started without a debugger, ended if it outlives the test;
// with a token, as the user that the token names; flags as CreateProcess's.
struct Process {
    PROCESS_INFORMATION pi = {};
    explicit Process(std::string line, HANDLE token = nullptr, DWORD flags = 0);
    explicit Process(std::wstring line, HANDLE token = nullptr, DWORD flags = 0);
    ~Process();
    // The exit code, or 0xFFFFFFFF when it does not end in time.
    DWORD Wait();
};

class DialogTest : public testing::Test {
  protected:
    // Every test leaves the classes tree as it found it.
    SavedKeys saved{".lnk", "lnkfile", ".pif", "piffile", "Folder"};
    HWND dialog = nullptr;

    void TearDown() override { Close(); }
    void Open();
    void Close();
    HWND Item(int id) const { return GetDlgItem(dialog, id); }
};
