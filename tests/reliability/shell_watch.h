// What the shell did while tessaro ran: the folders it was asked to open
// (from Wine's exec trace) and the message boxes other processes showed.
#pragma once
#include "harness/wine.h"

#include <windows.h>
#include <set>
#include <string>
#include <vector>

struct ShellExecution {
    std::string verb;
    std::string folder; // as the trace prints the parent list's path; ASCII paths only
};
// Every ShellExecuteEx with an item list in a "+exec" Wine log.
std::vector<ShellExecution> ShellExecutions(const std::string &wineLog);

// Answers the message boxes of other processes while it lives, keeping
// their texts: a failed verb makes the shell show one, and the call waits
// for it, so a run without this would never end.
class MessageBoxCloser {
  public:
    MessageBoxCloser();
    ~MessageBoxCloser();
    MessageBoxCloser(const MessageBoxCloser &) = delete;
    MessageBoxCloser &operator=(const MessageBoxCloser &) = delete;
    // "caption: text" of each box seen so far.
    std::vector<std::string> Boxes();

  private:
    static DWORD WINAPI Run(void *self);
    void CloseBoxes();
    HANDLE stop_;
    HANDLE thread_;
    CRITICAL_SECTION lock_;
    std::set<HWND> seen_;
    std::vector<std::string> boxes_;
};

// One OpenMode run of tessaro.exe under the debugger, with the exec trace
// and any message box answered.
struct OpenRun {
    ChildRun child;
    std::vector<ShellExecution> executed;
    std::vector<std::string> boxes;
};
OpenRun RunOpenMode(const std::string &arguments, DWORD timeoutMs = 60000);
